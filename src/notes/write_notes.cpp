#include "notes/write_notes.h"

#include "meters/element_paths.h"
#include "notes/near_spelling.h"
#include "run/failure.h"
#include "run/location_path.h"

#include <map>
#include <memory>
#include <string>
#include <utility>

namespace modRegistryUpdate {
namespace {

using namespace elementPaths;

/// A value as the run last wrote it.
struct Written {
    std::string data;
    std::shared_ptr<const XmlElement> by;
};

class ValueWrites {
public:
    ValueWrites(Runtime& runtime, std::vector<Note>& notes) : runtime_(runtime), notes_(notes) {}

    /// Writes each device of the include as the run does; raises where the run's include fails.
    void include(MeterDocument& document, const XmlElement& includeKey) {
        const std::string vendor = readAttribute(includeKey, "vendor").toText();
        for (const XmlElement* device : devicesOfVendor(document, vendor)) {
            const std::string deviceKey = "DeviceInfo\\" + readAttribute(*device, "type").toText();
            for (auto& firmware : device->selectElements(firmwaresOfDevice)) {
                const std::string key =
                    deviceKey + "\\" + readAttribute(*firmware, "version").joined();
                for (auto& entry : firmware->selectElements(keysOfFirmware))
                    write(key, std::move(entry), "voltsMode");
            }
            for (auto& category : device->selectElements(categoriesOfDevice)) {
                const std::string key = deviceKey + "\\TemplateStrings\\" +
                                        readAttribute(*category, "category").joined();
                for (auto& entry : category->selectElements(entriesOfCategory))
                    write(key, std::move(entry), "String");
            }
        }
    }

private:
    void write(const std::string& key, std::unique_ptr<XmlElement> entry,
               const char* nameAttribute) {
        const std::string name = readAttribute(*entry, nameAttribute).toText();
        const std::string data = readAttribute(*entry, "Filename").toText();
        // The registry ignores empty path segments (a type or version ending in a backslash),
        // and compares names regardless of letter case.
        std::string keyIdentity;
        for (const char c : runtime_.upperCase(key)) {
            if (c != '\\' || (!keyIdentity.empty() && keyIdentity.back() != '\\'))
                keyIdentity += c;
        }
        if (!keyIdentity.empty() && keyIdentity.back() == '\\')
            keyIdentity.pop_back();
        const std::pair identity{keyIdentity, runtime_.upperCase(name)};
        std::shared_ptr<const XmlElement> by = std::move(entry);
        const auto [earlier, first] = written_.try_emplace(identity, Written{data, by});
        if (first)
            return;
        if (earlier->second.data != data && roomForNote(notes_)) {
            const std::string value = name.empty() ? "the default value" : "value " + quoted(name);
            notes_.push_back({"value-written-twice", locationPath(*by),
                              value + " of " + quoted(key) + " is written again: " + quoted(data) +
                                  " replaces " + quoted(earlier->second.data) + " from " +
                                  locationPath(*earlier->second.by) + ", the later one wins"});
        }
        earlier->second = Written{data, by};
    }

    Runtime& runtime_;
    std::vector<Note>& notes_;
    std::map<std::pair<std::string, std::string>, Written> written_;
};

} // namespace

void noteValuesWrittenTwice(MeterDocument& document,
                            const std::vector<const XmlElement*>& matchingProducts,
                            Runtime& runtime, std::vector<Note>& notes) {
    ValueWrites writes(runtime, notes);
    for (const XmlElement* product : matchingProducts) {
        for (const auto& includeKey : product->selectElements(includesOfProduct)) {
            // What fails in an include ends it, as in the run; the log reports it.
            try {
                writes.include(document, *includeKey);
            } catch (const Failure&) {
            }
        }
    }
}

} // namespace modRegistryUpdate
