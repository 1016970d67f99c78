#pragma once

#include "run/module.h"

namespace modRegistryUpdate {

/// The document pass: loads the document named on the command line and builds the entries of
/// every product that matches the installed one. Logs a failed load, and any failure of the
/// pass, which ends it.
void readMeterDocument(Module& module);

} // namespace modRegistryUpdate
