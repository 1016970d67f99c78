#pragma once

#include "platform/product_component.h"

namespace modRegistryUpdate::windows {

/// Components created by programmatic identifier through COM, their properties read late-bound
/// through IDispatch.
class ComProductComponentFactory : public ProductComponentFactory {
public:
    std::unique_ptr<ProductComponent> create(const std::string& programmaticId) override;
};

} // namespace modRegistryUpdate::windows
