#pragma once

#include "platform/platform.h"

namespace modRegistryUpdate {

/// One whole run: creates the error log beside the program, runs the document pass, saves the
/// registry changes and closes the log. Never raises.
void runRegistryUpdate(Platform& platform);

} // namespace modRegistryUpdate
