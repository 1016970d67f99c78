#pragma once

#include "platform/platform.h"

namespace modRegistryUpdate {

/// The module-wide state of one run: its outside services and the error log it reports to.
struct Module {
    Platform& platform;
    TextLog& errorLog;
};

} // namespace modRegistryUpdate
