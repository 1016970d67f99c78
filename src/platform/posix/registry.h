#pragma once

#include "platform/registry.h"
#include "store/key_path_cache.h"
#include "store/store.h"

namespace modRegistryUpdate::posix {

/// The registry kept in the store file, with the registry's own rules for names and paths.
class StoreRegistry : public Registry {
public:
    explicit StoreRegistry(store::Store& file) : file_(file) {}

    RegistryStatus createKey(RegistryRoot root, const std::string& path, RegistryKey& key) override;
    RegistryStatus openKey(RegistryRoot root, const std::string& path, RegistryKey& key) override;
    RegistryStatus setTextValue(RegistryKey key, const std::string& valueName,
                                const std::string& text) override;
    void closeKey(RegistryKey) override {}
    std::string describe(RegistryStatus status) const override;
    RegistryStatus saveChanges() override;
    std::string storeLocation() const override { return file_.path(); }

private:
    /// Opens the key, or with `create` creates it and its missing parents first.
    RegistryStatus resolveKey(const std::string& path, bool create, RegistryKey& key);
    /// The store's keys, or null when the store cannot be used (see `loadFailure_`).
    store::KeyTree* tree();

    store::Store& file_;
    store::KeyPathCache paths_;
    std::string loadFailure_; // why the store cannot be used, for `describe`
    std::string saveFailure_; // why the save failed, for `describe`
};

} // namespace modRegistryUpdate::posix
