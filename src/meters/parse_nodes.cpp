#include "meters/parse_nodes.h"

#include "meters/element_paths.h"
#include "meters/meter_document.h"
#include "product/product_identity.h"
#include "registry/registry_writer.h"
#include "run/failure.h"

#include <string>

namespace modRegistryUpdate {
namespace {

const char* const localMachinePrefix = "HKEY_LOCAL_MACHINE\\";

using namespace elementPaths;

void createKey(Module& module, const std::string& keyPath) {
    Registry& registry = module.platform.registry;
    const RegistryStatus status = createRegistryKey(registry, RegistryRoot::localMachine, keyPath);
    if (!status.ok())
        module.errorLog.writeLine(
            status.message() + " Could not create registry key: " + localMachinePrefix + keyPath);
}

void setValue(Module& module, const std::string& keyPath, const XmlElement& entry,
              const char* nameAttribute) {
    const std::string valueName = readAttribute(entry, nameAttribute).toText();
    const AttributeValue value = readAttribute(entry, "Filename");
    Registry& registry = module.platform.registry;
    const RegistryStatus status =
        setRegistryValue(registry, RegistryRoot::localMachine, keyPath, valueName, value);
    if (!status.ok())
        module.errorLog.writeLine(status.message() + " Could not write registry value \"" +
                                  valueName + "\" in " + localMachinePrefix + keyPath);
}

void buildDevice(Module& module, const XmlElement& device, const std::string& deviceKey) {
    createKey(module, deviceKey);
    for (const auto& firmware : device.selectElements(firmwaresOfDevice)) {
        const std::string firmwareKey =
            deviceKey + "\\" + readAttribute(*firmware, "version").joined();
        createKey(module, firmwareKey);
        for (const auto& key : firmware->selectElements(keysOfFirmware))
            setValue(module, firmwareKey, *key, "voltsMode");
    }
    const XmlElementList categories = device.selectElements(categoriesOfDevice);
    if (categories.empty())
        return;
    const std::string templateStringsKey = deviceKey + "\\TemplateStrings";
    createKey(module, templateStringsKey);
    for (const auto& category : categories) {
        const std::string categoryKey =
            templateStringsKey + "\\" + readAttribute(*category, "category").joined();
        createKey(module, categoryKey);
        for (const auto& entry : category->selectElements(entriesOfCategory))
            setValue(module, categoryKey, *entry, "String");
    }
}

} // namespace

void parseNodes(Module& module, MeterDocument& document, const XmlElement& includeKey) {
    try {
        const std::string vendor = readAttribute(includeKey, "vendor").toText();
        // The vendor is compared as data, never put into an expression, so any character is safe.
        for (const XmlElement* device : devicesOfVendor(document, vendor)) {
            const std::string type = readAttribute(*device, "type").toText();
            // A new component for every device: instances are never kept between uses.
            const std::string baseSubKey = getProductSubKey(module);
            if (baseSubKey.empty()) {
                module.errorLog.writeLine("Could not generate a subkey, exiting...");
                return;
            }
            buildDevice(module, *device, baseSubKey + "\\DeviceInfo\\" + type);
        }
    } catch (...) {
        module.errorLog.writeLine(
            currentFailureDescription() +
            " Sub: parseNodes: An error has occured developing registry file");
    }
}

} // namespace modRegistryUpdate
