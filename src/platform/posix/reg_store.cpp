#include "platform/posix/reg_store.h"

#include "platform/posix/unicode_text.h"

#include <utility>

namespace modRegistryUpdate::posix {

RegStore::RegStore() {
    keys_.emplace_back();
}

RegKey* RegStore::find(const std::vector<std::string>& segments) {
    RegKey* key = &root();
    for (const std::string& segment : segments) {
        const auto found = key->children.find(upperCaseUtf8(segment));
        if (found == key->children.end())
            return nullptr;
        key = found->second;
    }
    return key;
}

RegKey& RegStore::create(const std::vector<std::string>& segments, bool withSections,
                         bool& created) {
    created = false;
    RegKey* key = &root();
    for (const std::string& segment : segments)
        key = &child(*key, segment, withSections, created);
    return *key;
}

RegKey& RegStore::child(RegKey& parent, const std::string& name, bool withSection, bool& created) {
    const auto [slot, isNew] = parent.children.emplace(upperCaseUtf8(name), nullptr);
    if (!isNew)
        return *slot->second;
    RegKey& key = keys_.emplace_back();
    key.name = name;
    key.path = parent.path.empty() ? name : parent.path + "\\" + name;
    slot->second = &key;
    if (withSection)
        addSection(key);
    created = true;
    return key;
}

void RegStore::addSection(RegKey& key) {
    if (key.hasSection)
        return;
    key.hasSection = true;
    sections_.push_back(&key);
}

const RegValue* RegStore::findValue(const RegKey& key, const std::string& name) const {
    const auto found = key.valueIndex.find(upperCaseUtf8(name));
    return found == key.valueIndex.end() ? nullptr : &key.values[found->second];
}

bool RegStore::putValue(RegKey& key, RegValue value) {
    const auto [slot, isNew] = key.valueIndex.emplace(upperCaseUtf8(value.name), key.values.size());
    if (isNew) {
        key.values.push_back(std::move(value));
        return true;
    }
    RegValue& old = key.values[slot->second];
    if (old.form == value.form && old.type == value.type && old.data == value.data &&
        old.number == value.number)
        return false;
    // The name keeps the case it was created with; comments before it stay in place.
    value.name = std::move(old.name);
    value.leading = std::move(old.leading);
    old = std::move(value);
    return true;
}

std::vector<std::string> splitKeyPath(const std::string& path) {
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            segments.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return segments;
}

} // namespace modRegistryUpdate::posix
