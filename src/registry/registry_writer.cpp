#include "registry/registry_writer.h"

namespace modRegistryUpdate {
namespace {

/// Closes the key however the operation that opened it ends.
class KeyCloser {
public:
    KeyCloser(Registry& registry, const RegistryKey& key) : registry_(registry), key_(key) {}
    ~KeyCloser() { registry_.closeKey(key_); }
    KeyCloser(const KeyCloser&) = delete;
    KeyCloser& operator=(const KeyCloser&) = delete;

private:
    Registry& registry_;
    const RegistryKey& key_;
};

} // namespace

RegistryStatus createRegistryKey(Registry& registry, RegistryRoot root,
                                 const std::string& keyPath) {
    RegistryKey key = 0;
    KeyCloser closer(registry, key);
    return registry.createKey(root, keyPath, key);
}

RegistryStatus setRegistryValue(Registry& registry, RegistryRoot root, const std::string& keyPath,
                                const std::string& valueName, const AttributeValue& value) {
    RegistryKey key = 0;
    KeyCloser closer(registry, key);
    const RegistryStatus openStatus = registry.openKey(root, keyPath, key);
    const RegistryStatus writeStatus = writeValueData(registry, key, valueName, value);
    // The open's failure is the cause; the write that follows it could only fail too.
    return openStatus != registrySuccess ? openStatus : writeStatus;
}

RegistryStatus writeValueData(Registry& registry, RegistryKey key, const std::string& valueName,
                              const AttributeValue& value) {
    const std::string& text = value.toText();
    return registry.setTextValue(key, valueName, text);
}

} // namespace modRegistryUpdate
