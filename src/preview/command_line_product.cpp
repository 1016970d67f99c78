#include "preview/command_line_product.h"

namespace modRegistryUpdate::preview {
namespace {

class CommandLineProduct : public ProductComponent {
public:
    explicit CommandLineProduct(const InstalledProduct& product) : product_(product) {}

    std::optional<std::string> getProperty(const std::string& name) override {
        if (name == "Manufacturer")
            return product_.manufacturer;
        if (name == "ProductName")
            return product_.name;
        if (name == "ProductVersion")
            return product_.version;
        return std::nullopt;
    }

private:
    const InstalledProduct& product_;
};

} // namespace

std::unique_ptr<ProductComponent> CommandLineProductFactory::create(const std::string&) {
    return std::make_unique<CommandLineProduct>(product_);
}

} // namespace modRegistryUpdate::preview
