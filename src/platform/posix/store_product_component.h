#pragma once

#include "platform/posix/store_file.h"
#include "platform/product_component.h"

namespace modRegistryUpdate::posix {

/// Components registered in the store: a component exists when the store holds the key
/// SOFTWARE\Classes\<identifier>, and its properties are that key's values.
class StoreProductComponentFactory : public ProductComponentFactory {
public:
    explicit StoreProductComponentFactory(StoreFile& file) : file_(file) {}

    std::unique_ptr<ProductComponent> create(const std::string& programmaticId) override;

private:
    StoreFile& file_;
};

} // namespace modRegistryUpdate::posix
