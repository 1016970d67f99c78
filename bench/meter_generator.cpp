#include "meter_generator.h"

#include <random>
#include <vector>

namespace bench {

const char* const manufacturer = "Bench Instruments";
const char* const productName = "Power Analyzer Pro";
const char* const productVersion = "4.2";

namespace {

/// Everything random about one device, drawn in the same order for the document and the replay.
struct Device {
    int vendor;
    std::string type;
    std::vector<std::string> versions;
};

std::string token(std::mt19937& random, std::size_t length) {
    static const char letters[] = "ABCDEFGHJKLMNPQRSTUVWXYZ0123456789";
    std::string text;
    for (std::size_t i = 0; i < length; ++i)
        text += letters[random() % (sizeof letters - 1)];
    return text;
}

/// Draws the devices one at a time, so that a large document never needs them all at once.
class DeviceSource {
public:
    explicit DeviceSource(const DocumentShape& shape) : shape_(shape), random_(shape.seed) {}

    Device next(int index) {
        Device device;
        device.vendor = static_cast<int>(random_() % static_cast<std::uint32_t>(shape_.vendors));
        device.type = "M" + std::to_string(index) + "-" + token(random_, 6);
        for (int f = 0; f < shape_.firmwares; ++f)
            device.versions.push_back(std::to_string(f + 1) + "." + token(random_, 3));
        return device;
    }

private:
    const DocumentShape& shape_;
    std::mt19937 random_;
};

std::string vendorName(int vendor) {
    return "Vendor " + std::to_string(vendor);
}
std::string fileName(const Device& device, const std::string& what) {
    return device.type + "_" + what + ".cfg";
}

/// Products alternate: the even ones match the installed product, the odd ones do not.
bool matches(int product) {
    return product % 2 == 0;
}
int matchingProducts(const DocumentShape& shape) {
    return (shape.products + 1) / 2;
}
/// The vendor is included by matching product number vendor % matchingProducts, and by the
/// product after it, which does not match.
bool includes(const DocumentShape& shape, int product, int vendor) {
    return vendor % matchingProducts(shape) == product / 2;
}

void replayDevice(const DocumentShape& shape, const Device& device, const std::string& deviceKey,
                  const RegistryCalls& calls) {
    calls.createKey(deviceKey);
    for (const std::string& version : device.versions) {
        const std::string firmwareKey = deviceKey + "\\" + version;
        calls.createKey(firmwareKey);
        for (int k = 0; k < shape.keys; ++k)
            calls.setValue(firmwareKey, "Mode" + std::to_string(k),
                           fileName(device, version + "_" + std::to_string(k)));
    }
    if (shape.categories == 0)
        return;
    calls.createKey(deviceKey + "\\TemplateStrings");
    for (int c = 0; c < shape.categories; ++c) {
        const std::string categoryKey =
            deviceKey + "\\TemplateStrings\\Category" + std::to_string(c);
        calls.createKey(categoryKey);
        for (int e = 0; e < shape.entries; ++e)
            calls.setValue(categoryKey, "Template" + std::to_string(e),
                           fileName(device, "c" + std::to_string(c) + "_" + std::to_string(e)));
    }
}

} // namespace

void writeDocument(const DocumentShape& shape, const std::function<void(const std::string&)>& out) {
    out("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Meters>\n");
    for (int product = 0; product < shape.products; ++product) {
        out(matches(product) ? "  <Product name=\"^Power Analy[sz]er\">\n"
                             : "  <Product name=\"Lab Edition\">\n");
        for (int vendor = 0; vendor < shape.vendors; ++vendor) {
            if (includes(shape, product, vendor))
                out("    <IncludeKey vendor=\"" + vendorName(vendor) + "\"/>\n");
        }
        out("  </Product>\n");
    }

    DeviceSource source(shape);
    for (int index = 0; index < shape.devices; ++index) {
        const Device device = source.next(index);
        std::string text = "  <Device vendor=\"" + vendorName(device.vendor) + "\" type=\"" +
                           device.type + "\">\n    <RegistryData>\n";
        for (const std::string& version : device.versions) {
            text += "      <Firmware version=\"" + version + "\">\n";
            for (int k = 0; k < shape.keys; ++k)
                text += "        <Key voltsMode=\"Mode" + std::to_string(k) + "\" Filename=\"" +
                        fileName(device, version + "_" + std::to_string(k)) + "\"/>\n";
            text += "      </Firmware>\n";
        }
        text += "    </RegistryData>\n    <TemplateStringLookup>\n";
        for (int c = 0; c < shape.categories; ++c) {
            text += "      <VoltsModeCategory category=\"Category" + std::to_string(c) + "\">\n";
            for (int e = 0; e < shape.entries; ++e)
                text += "        <TemplateStringEntry String=\"Template" + std::to_string(e) +
                        "\" Filename=\"" +
                        fileName(device, "c" + std::to_string(c) + "_" + std::to_string(e)) +
                        "\"/>\n";
            text += "      </VoltsModeCategory>\n";
        }
        out(text + "    </TemplateStringLookup>\n  </Device>\n");
    }
    out("</Meters>\n");
}

void replayRegistryCalls(const DocumentShape& shape, const RegistryCalls& calls) {
    const std::string base = std::string("SOFTWARE\\") + manufacturer + "\\" + productName + "\\" +
                             productVersion + "\\DeviceInfo\\";
    // Drawn once and grouped, so that the replay costs what the program's writes cost.
    std::vector<std::vector<Device>> byVendor(static_cast<std::size_t>(shape.vendors));
    DeviceSource source(shape);
    for (int index = 0; index < shape.devices; ++index) {
        Device device = source.next(index);
        byVendor[static_cast<std::size_t>(device.vendor)].push_back(std::move(device));
    }
    // The program builds product by product, vendor by vendor in the order each includes them.
    for (int product = 0; product < shape.products; product += 2) {
        for (int vendor = 0; vendor < shape.vendors; ++vendor) {
            if (!includes(shape, product, vendor))
                continue;
            for (const Device& device : byVendor[static_cast<std::size_t>(vendor)])
                replayDevice(shape, device, base + device.type, calls);
        }
    }
}

} // namespace bench
