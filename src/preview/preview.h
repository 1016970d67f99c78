#pragma once

#include "platform/runtime.h"
#include "platform/xml.h"

#include <ostream>
#include <string>
#include <vector>

namespace modRegistryUpdate::preview {

/// The exit statuses of the preview, as build steps read them.
constexpr int previewClean = 0;      ///< the log is empty
constexpr int previewLogged = 1;     ///< the log is not, or `--strict` and there are notes
constexpr int previewUsageError = 2; ///< the arguments or a file named in them cannot be used

/// One preview: the run the shipped program does, on the document, with the product the
/// arguments name as installed, over a registry held in memory (empty, or read from
/// `--registry`). Prints the log, then the keys and values the run wrote as .reg text, UTF-8 with
/// CR LF line ends, then the notes on what the document silently does not do; `--output` writes
/// the whole registry after the run as a .reg file. The platform gives the document's reader and
/// its own upper-casing. Returns the exit status.
int runPreview(const std::vector<std::string>& arguments, Runtime& platform, XmlService& xml,
               std::ostream& out, std::ostream& errors);

} // namespace modRegistryUpdate::preview
