#pragma once

#include "platform/product_component.h"
#include "preview/preview_arguments.h"

namespace modRegistryUpdate::preview {

/// The product component of the preview: whatever component the run creates answers the
/// product's three texts, as the installed product's component would.
class CommandLineProductFactory : public ProductComponentFactory {
public:
    explicit CommandLineProductFactory(const InstalledProduct& product) : product_(product) {}

    std::unique_ptr<ProductComponent> create(const std::string& programmaticId) override;

private:
    const InstalledProduct& product_;
};

} // namespace modRegistryUpdate::preview
