#include "meters/meter_document.h"

#include "meters/element_paths.h"

namespace modRegistryUpdate {

const std::vector<const XmlElement*>& devicesOfVendor(MeterDocument& document,
                                                      const std::string& vendor) {
    if (!document.vendorDevices) {
        auto grouped = std::make_unique<VendorDevices>();
        grouped->devices = document.xml->selectElements(elementPaths::devicesOfDocument);
        for (const auto& device : grouped->devices) {
            // A device without a vendor belongs to no include: no vendor text is null.
            if (const std::optional<std::string> name = device->getAttribute("vendor"))
                grouped->byVendor[*name].push_back(device.get());
        }
        document.vendorDevices = std::move(grouped);
    }
    static const std::vector<const XmlElement*> none;
    const auto found = document.vendorDevices->byVendor.find(vendor);
    return found == document.vendorDevices->byVendor.end() ? none : found->second;
}

} // namespace modRegistryUpdate
