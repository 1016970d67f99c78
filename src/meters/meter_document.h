#pragma once

#include "platform/xml.h"
#include "run/attribute_value.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace modRegistryUpdate {

/// The `Device` children of the document element `Meters`, grouped by their exact vendor text,
/// each group in document order.
struct VendorDevices {
    XmlElementList devices;
    std::unordered_map<std::string, std::vector<const XmlElement*>> byVendor;
};

/// The loaded meter definition document.
struct MeterDocument {
    std::unique_ptr<XmlDocument> xml;
    /// Made the first time an include needs it: every include would otherwise scan every device.
    std::unique_ptr<VendorDevices> vendorDevices;
};

/// An element's attribute as text or null; a null one names the attribute and where its element
/// stands when converted. The value refers to the element, which must outlive it.
inline AttributeValue readAttribute(const XmlElement& element, const std::string& name) {
    return AttributeValue(element.getAttribute(name), "attribute", name, &element);
}

/// The devices whose vendor is exactly this text, in document order. The first call selects and
/// groups them; a failing selection raises a Failure and leaves them to be selected again.
const std::vector<const XmlElement*>& devicesOfVendor(MeterDocument& document,
                                                      const std::string& vendor);

} // namespace modRegistryUpdate
