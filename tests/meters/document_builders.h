#pragma once

#include "fakes/fake_platform.h"

#include <string>
#include <vector>

namespace modRegistryUpdate::fakes {

inline FakeElement key(const std::string& voltsMode, const std::string& filename) {
    return {"Key", {{"voltsMode", voltsMode}, {"Filename", filename}}, {}};
}

inline FakeElement firmware(const std::string& version, std::vector<FakeElement> keys) {
    return {"Firmware", {{"version", version}}, std::move(keys)};
}

inline FakeElement entry(const std::string& string, const std::string& filename) {
    return {"TemplateStringEntry", {{"String", string}, {"Filename", filename}}, {}};
}

inline FakeElement category(const std::string& name, std::vector<FakeElement> entries) {
    return {"VoltsModeCategory", {{"category", name}}, std::move(entries)};
}

inline FakeElement device(const std::string& vendor, const std::string& type,
                          std::vector<FakeElement> firmwares,
                          std::vector<FakeElement> categories = {}) {
    FakeElement device{"Device", {{"vendor", vendor}, {"type", type}}, {}};
    if (!firmwares.empty())
        device.children.push_back({"RegistryData", {}, std::move(firmwares)});
    if (!categories.empty())
        device.children.push_back({"TemplateStringLookup", {}, std::move(categories)});
    return device;
}

inline FakeElement product(const std::string& pattern, std::vector<std::string> vendors) {
    FakeElement product{"Product", {{"name", pattern}}, {}};
    for (const std::string& vendor : vendors)
        product.children.push_back({"IncludeKey", {{"vendor", vendor}}, {}});
    return product;
}

} // namespace modRegistryUpdate::fakes
