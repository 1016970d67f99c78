#pragma once

#include "meters/meter_document.h"
#include "run/module.h"

#include <string>

namespace modRegistryUpdate {

/// The document pass: loads the document named on the command line and builds the entries of
/// every product that matches the installed one. Logs a failed load, and any failure of the
/// pass, which ends it.
void readMeterDocument(Module& module);

/// Builds every include of every `Product` whose name pattern matches the installed product's
/// name, in document order. Raises what fails; has no handler of its own.
void processProducts(Module& module, MeterDocument& document);

/// Whether the pattern is found anywhere in the text, letter case ignored. An invalid pattern
/// raises a Failure.
bool productNameMatches(Module& module, const std::string& pattern, const std::string& text);

} // namespace modRegistryUpdate
