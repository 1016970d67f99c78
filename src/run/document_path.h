#pragma once

#include "run/module.h"

#include <string>

namespace modRegistryUpdate {

/// The document's location: the program's argument text, unchanged. Logs a missing argument
/// and a failure to read it; returns empty text after either.
std::string getDocumentPath(Module& module);

} // namespace modRegistryUpdate
