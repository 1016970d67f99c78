#include "registry/registry_writer.h"

#include <utility>

namespace modRegistryUpdate {
namespace {

/// An open key, closed when its owner goes, however the operation that opened it ends.
class OwnedKey {
public:
    OwnedKey(Registry& registry, RegistryKey key) : registry_(registry), key_(key) {}
    OwnedKey(OwnedKey&& other) noexcept
        : registry_(other.registry_), key_(std::exchange(other.key_, 0)) {}
    OwnedKey(const OwnedKey&) = delete;
    OwnedKey& operator=(const OwnedKey&) = delete;
    OwnedKey& operator=(OwnedKey&&) = delete;
    ~OwnedKey() { registry_.closeKey(key_); }

    /// The key; 0 when it could not be opened.
    RegistryKey get() const { return key_; }

private:
    Registry& registry_;
    RegistryKey key_;
};

/// The status of an open or create, and the key it gave.
struct OpenedKey {
    RegistryStatus status;
    OwnedKey key;
};

OpenedKey createKey(Registry& registry, RegistryRoot root, const std::string& path) {
    RegistryKey key = 0;
    const RegistryStatus status = registry.createKey(root, path, key);
    return {status, OwnedKey(registry, key)};
}

OpenedKey openKey(Registry& registry, RegistryRoot root, const std::string& path) {
    RegistryKey key = 0;
    const RegistryStatus status = registry.openKey(root, path, key);
    return {status, OwnedKey(registry, key)};
}

/// Writes one text value into an open key. A null value raises a Failure before anything is
/// written.
RegistryStatus writeValueData(Registry& registry, RegistryKey key, const std::string& valueName,
                              const AttributeValue& value) {
    const std::string& text = value.toText();
    return registry.setTextValue(key, valueName, text);
}

} // namespace

RegistryStatus createRegistryKey(Registry& registry, RegistryRoot root,
                                 const std::string& keyPath) {
    return createKey(registry, root, keyPath).status;
}

RegistryStatus setRegistryValue(Registry& registry, RegistryRoot root, const std::string& keyPath,
                                const std::string& valueName, const AttributeValue& value) {
    const OpenedKey opened = openKey(registry, root, keyPath);
    const RegistryStatus writeStatus = writeValueData(registry, opened.key.get(), valueName, value);
    // The open's failure is the cause; the write that follows it could only fail too.
    return opened.status != registrySuccess ? opened.status : writeStatus;
}

} // namespace modRegistryUpdate
