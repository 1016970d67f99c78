#pragma once

#include "platform/registry.h"

namespace modRegistryUpdate::windows {

/// The Windows registry through the wide functions, so that every name and value is stored
/// exactly. Keys are created and opened with the six rights of 0x3F, not with all; every write is
/// lasting at once.
class WinRegistry : public Registry {
public:
    OpenedKey createKey(RegistryRoot root, const std::string& path) override;
    OpenedKey openKey(RegistryRoot root, const std::string& path) override;
    RegistryStatus saveChanges() override { return {}; }
    std::string storeLocation() const override { return "HKEY_LOCAL_MACHINE"; }
};

} // namespace modRegistryUpdate::windows
