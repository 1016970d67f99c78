#include "registry/registry_writer.h"

namespace modRegistryUpdate {

RegistryStatus createRegistryKey(Registry& registry, RegistryRoot root,
                                 const std::string& keyPath) {
    return registry.createKey(root, keyPath).status;
}

RegistryStatus setRegistryValue(Registry& registry, RegistryRoot root, const std::string& keyPath,
                                const std::string& valueName, const AttributeValue& value) {
    const OpenedKey opened = registry.openKey(root, keyPath);
    // A null value is the include's failure even where the key is missing.
    const std::string& text = value.toText();
    if (!opened.key)
        return opened.status;
    return opened.key->setText(valueName, text);
}

} // namespace modRegistryUpdate
