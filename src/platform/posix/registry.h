#pragma once

#include "platform/registry.h"
#include "store/store.h"

namespace modRegistryUpdate::posix {

/// The registry kept in the store file, with the registry's own rules for names and paths.
class StoreRegistry : public Registry {
public:
    explicit StoreRegistry(store::Store& file) : file_(file) {}

    OpenedKey createKey(RegistryRoot root, const std::string& path) override;
    OpenedKey openKey(RegistryRoot root, const std::string& path) override;
    RegistryStatus saveChanges() override;
    std::string storeLocation() const override { return file_.path(); }

private:
    /// Opens the key, or with `create` creates it and its missing parents first.
    OpenedKey resolveKey(const std::string& path, bool create);

    store::Store& file_;
};

} // namespace modRegistryUpdate::posix
