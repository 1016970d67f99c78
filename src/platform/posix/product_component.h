#pragma once

#include "platform/product_component.h"
#include "store/store.h"

namespace modRegistryUpdate::posix {

/// Components registered in the store: a component exists when the store holds the key
/// SOFTWARE\Classes\<identifier>, and its properties are that key's values.
class StoreProductComponentFactory : public ProductComponentFactory {
public:
    explicit StoreProductComponentFactory(store::Store& file) : file_(file) {}

    std::unique_ptr<ProductComponent> create(const std::string& programmaticId) override;

private:
    store::Store& file_;
};

} // namespace modRegistryUpdate::posix
