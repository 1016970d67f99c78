#include "notes/vendor_notes.h"

#include "meters/element_paths.h"
#include "notes/near_spelling.h"
#include "run/location_path.h"

#include <set>
#include <string>

namespace modRegistryUpdate {
namespace {

/// Each text once, in the order first met.
void addOnce(std::vector<std::string>& texts, std::set<std::string>& seen,
             const std::string& text) {
    if (seen.insert(text).second)
        texts.push_back(text);
}

/// What was probably meant: "; "Northwind" does".
std::string nearText(const std::optional<std::string>& near, const char* verb) {
    return near ? "; " + quoted(*near) + " " + verb : "";
}

} // namespace

void noteVendors(MeterDocument& document, const XmlElementList& products, std::size_t& budget,
                 std::vector<Note>& notes) {
    // Selects and groups the devices once, as the run does for its first include.
    devicesOfVendor(document, std::string());
    const VendorDevices& devices = *document.vendorDevices;
    std::vector<std::string> deviceVendors;
    std::set<std::string> seenDeviceVendors;
    for (const auto& device : devices.devices) {
        if (const auto vendor = device->getAttribute("vendor"))
            addOnce(deviceVendors, seenDeviceVendors, *vendor);
    }

    std::vector<std::string> includedVendors;
    std::set<std::string> seenIncludedVendors;
    for (const auto& product : products) {
        for (const auto& include : product->selectElements(elementPaths::includesOfProduct)) {
            const auto vendor = include->getAttribute("vendor");
            // An include without vendor fails where its product matches, and the log says so.
            if (!vendor)
                continue;
            addOnce(includedVendors, seenIncludedVendors, *vendor);
            if (devices.byVendor.count(*vendor) != 0)
                continue;
            if (!roomForNote(notes))
                return;
            notes.push_back(
                {"vendor-names-no-device", locationPath(*include),
                 "vendor " + quoted(*vendor) + " names no Device, so nothing is included" +
                     nearText(nearestSpelling(*vendor, deviceVendors, budget), "does")});
        }
    }

    for (const auto& device : devices.devices) {
        if (!roomForNote(notes))
            return;
        const auto vendor = device->getAttribute("vendor");
        if (!vendor) {
            notes.push_back({"device-never-included", locationPath(*device),
                             "a Device without vendor is named by no IncludeKey, so it is never "
                             "written"});
        } else if (seenIncludedVendors.count(*vendor) == 0) {
            notes.push_back(
                {"device-never-included", locationPath(*device),
                 "vendor " + quoted(*vendor) +
                     " is named by no IncludeKey, so this Device is never written" +
                     nearText(nearestSpelling(*vendor, includedVendors, budget), "is")});
        }
    }
}

} // namespace modRegistryUpdate
