#pragma once

#include "platform/registry.h"
#include "store/store.h"

namespace modRegistryUpdate::store {

/// The registry kept in the store, with the registry's own rules for names and paths: the Linux
/// program's, and the preview's on every build.
class StoreRegistry : public Registry {
public:
    explicit StoreRegistry(Store& file) : file_(file) {}

    OpenedKey createKey(RegistryRoot root, const std::string& path) override;
    OpenedKey openKey(RegistryRoot root, const std::string& path) override;
    RegistryStatus saveChanges() override;
    std::string storeLocation() const override { return file_.path(); }

private:
    /// Opens the key, or with `create` creates it and its missing parents first.
    OpenedKey resolveKey(const std::string& path, bool create);

    Store& file_;
};

} // namespace modRegistryUpdate::store
