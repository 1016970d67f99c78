#pragma once

#include <optional>
#include <string>
#include <vector>

namespace modRegistryUpdate::preview {

/// The product the preview takes as installed: the three texts its component would answer.
struct InstalledProduct {
    std::string manufacturer;
    std::string name;
    std::string version;
};

/// What the preview was asked to do.
struct PreviewArguments {
    std::string document;
    InstalledProduct product;
    std::optional<std::string> registryBefore; ///< a .reg file the registry starts from
    std::optional<std::string> registryAfter;  ///< where the whole registry is written after
    bool strict = false;                       ///< notes fail the preview as a log line does
};

/// How the preview is called, for a usage error.
extern const char* const previewUsage;

/// The arguments after the program's name, or none when they do not fit the usage; `error` then
/// says why.
std::optional<PreviewArguments> parsePreviewArguments(const std::vector<std::string>& arguments,
                                                      std::string& error);

} // namespace modRegistryUpdate::preview
