#include "product/product_identity.h"

#include "run/attribute_value.h"
#include "run/failure.h"

#include <memory>

namespace modRegistryUpdate {
namespace {

const char* const productProgrammaticId = "ProductInfo.ProductInfo";

AttributeValue readProperty(ProductComponent& product, const std::string& name) {
    return AttributeValue(product.getProperty(name), "property", name);
}

} // namespace

std::string readProductName(Module& module) {
    std::unique_ptr<ProductComponent> product =
        module.platform.products.create(productProgrammaticId);
    return readProperty(*product, "ProductName").toText();
}

std::string getProductSubKey(Module& module) {
    std::string contextMessage;
    try {
        std::unique_ptr<ProductComponent> product =
            module.platform.products.create(productProgrammaticId);
        contextMessage = "SubKey could not be set, missing company settings";
        // Read in this order; a null property joins as empty text, leaving two separators.
        std::string subKey = "SOFTWARE\\";
        subKey += readProperty(*product, "Manufacturer").joined();
        subKey += "\\";
        subKey += readProperty(*product, "ProductName").joined();
        subKey += "\\";
        subKey += readProperty(*product, "ProductVersion").joined();
        return subKey;
    } catch (...) {
        module.errorLog.writeLine(currentFailureDescription() + " " + contextMessage);
        return std::string();
    }
}

} // namespace modRegistryUpdate
