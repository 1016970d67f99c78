#include "platform/posix/reg_store.h"

#include "platform/posix/unicode_text.h"

#include <utility>

namespace modRegistryUpdate::posix {

RegStore::RegStore() {
    keys_.emplace_back();
}

bool FoldedLess::operator()(std::string_view left, std::string_view right) const {
    return compareFolded(left, right) < 0;
}

RegKey* RegStore::find(std::string_view path) {
    RegKey* key = &root();
    const bool found = forEachSegment(path, [&](std::string_view segment) {
        key = child(*key, segment);
        return key != nullptr;
    });
    return found ? key : nullptr;
}

RegKey* RegStore::child(RegKey& parent, std::string_view name) {
    const auto found = parent.children.find(name);
    return found == parent.children.end() ? nullptr : found->second;
}

RegKey& RegStore::create(std::string_view path, bool withSections, bool& created) {
    created = false;
    RegKey* key = &root();
    forEachSegment(path, [&](std::string_view segment) {
        key = &child(*key, segment, withSections, created);
        return true;
    });
    return *key;
}

RegKey& RegStore::child(RegKey& parent, std::string_view name, bool withSection, bool& created) {
    const auto found = parent.children.find(name);
    if (found != parent.children.end())
        return *found->second;
    RegKey& key = keys_.emplace_back();
    key.path = parent.path.empty() ? std::string(name) : parent.path + "\\" + std::string(name);
    parent.children.emplace(std::string(name), &key);
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
    const auto found = key.valueIndex.find(name);
    return found == key.valueIndex.end() ? nullptr : &key.values[found->second];
}

bool RegStore::putValue(RegKey& key, RegValue value) {
    const auto [slot, isNew] = key.valueIndex.emplace(value.name, key.values.size());
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

} // namespace modRegistryUpdate::posix
