#pragma once

#include "platform/product_component.h"
#include "store/store.h"

#include <functional>
#include <map>
#include <string>

namespace modRegistryUpdate::posix {

/// Components registered in the store: a component exists when the store holds the key
/// SOFTWARE\Classes\<identifier>, and its properties are that key's values.
class StoreProductComponentFactory : public ProductComponentFactory {
public:
    explicit StoreProductComponentFactory(store::Store& file) : file_(file) {}

    std::unique_ptr<ProductComponent> create(const std::string& programmaticId) override;

private:
    store::Store& file_;
    /// The keys of the components found, by identifier as asked for: a run creates the same
    /// component for every device, and a key, once in the store, stays for the run. Components
    /// name themselves with these copies of their identifiers.
    std::map<std::string, const store::Key*, std::less<>> registered_;
};

} // namespace modRegistryUpdate::posix
