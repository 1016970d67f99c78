#pragma once

#include "platform/registry.h"
#include "run/attribute_value.h"

#include <string>

namespace modRegistryUpdate {

/// Creates the key and its missing parents, then closes it. Returns the create status.
RegistryStatus createRegistryKey(Registry& registry, RegistryRoot root, const std::string& keyPath);

/// Opens an existing key, writes one text value into it and closes it. Returns the status of the
/// open when it failed, else that of the write. A null value raises a Failure, whether or not the
/// key opened; nothing is written then.
RegistryStatus setRegistryValue(Registry& registry, RegistryRoot root, const std::string& keyPath,
                                const std::string& valueName, const AttributeValue& value);

} // namespace modRegistryUpdate
