#pragma once

#include "platform/registry.h"

namespace modRegistryUpdate::windows {

/// The Windows registry through the wide functions, so that every name and value is stored
/// exactly. Keys are created and opened with the six rights of 0x3F, not with all; every write is
/// lasting at once.
class WinRegistry : public Registry {
public:
    RegistryStatus createKey(RegistryRoot root, const std::string& path, RegistryKey& key) override;
    RegistryStatus openKey(RegistryRoot root, const std::string& path, RegistryKey& key) override;
    RegistryStatus setTextValue(RegistryKey key, const std::string& valueName,
                                const std::string& text) override;
    void closeKey(RegistryKey key) override;
    std::string describe(RegistryStatus status) const override;
    RegistryStatus saveChanges() override { return registrySuccess; }
    std::string storeLocation() const override { return "HKEY_LOCAL_MACHINE"; }
};

} // namespace modRegistryUpdate::windows
