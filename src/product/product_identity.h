#pragma once

#include "run/module.h"

#include <string>

namespace modRegistryUpdate {

/// The installed product's name from a new product component. Raises a Failure when the
/// component cannot be created or read, or the name is null.
std::string readProductName(Module& module);

/// SOFTWARE\<manufacturer>\<product name>\<version> from a new product component, or empty
/// text after a failure, which it logs.
std::string getProductSubKey(Module& module);

} // namespace modRegistryUpdate
