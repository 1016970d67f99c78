#include "store/key_tree.h"

#include "store/unicode_text.h"

#include <utility>

namespace modRegistryUpdate::store {

KeyTree::KeyTree() {
    keys_.emplace_back();
}

bool FoldedLess::operator()(std::string_view left, std::string_view right) const {
    return compareFolded(left, right) < 0;
}

Key* KeyTree::find(std::string_view path) {
    Key* key = &root();
    const bool found = forEachSegment(path, [&](std::string_view segment) {
        key = child(*key, segment);
        return key != nullptr;
    });
    return found ? key : nullptr;
}

Key* KeyTree::child(Key& parent, std::string_view name) {
    const auto found = parent.children_.find(name);
    return found == parent.children_.end() ? nullptr : found->second;
}

Key& KeyTree::create(std::string_view path, bool withSections, bool& created) {
    created = false;
    Key* key = &root();
    forEachSegment(path, [&](std::string_view segment) {
        key = &child(*key, segment, withSections, created);
        return true;
    });
    return *key;
}

Key& KeyTree::child(Key& parent, std::string_view name, bool withSection, bool& created) {
    const auto found = parent.children_.find(name);
    if (found != parent.children_.end())
        return *found->second;
    Key& key = keys_.emplace_back();
    key.parent_ = &parent;
    key.name_ = &parent.children_.emplace(std::string(name), &key).first->first;
    if (withSection)
        addSection(key);
    created = true;
    return key;
}

void KeyTree::addSection(Key& key) {
    if (key.hasSection_)
        return;
    key.hasSection_ = true;
    sections_.push_back(&key);
}

namespace {
constexpr std::size_t valuesWithoutIndex = 8;
}

std::size_t KeyTree::indexOf(const Key& key, std::string_view name) {
    if (key.valueIndex_) {
        const auto found = key.valueIndex_->find(name);
        return found == key.valueIndex_->end() ? key.values_.size() : found->second;
    }
    std::size_t index = 0;
    while (index < key.values_.size() && compareFolded(key.values_[index].name, name) != 0)
        ++index;
    return index;
}

const Value* KeyTree::findValue(const Key& key, const std::string& name) const {
    const std::size_t index = indexOf(key, name);
    return index == key.values_.size() ? nullptr : &key.values_[index];
}

bool KeyTree::putValue(Key& key, Value value) {
    const std::size_t index = indexOf(key, value.name);
    if (index == key.values_.size()) {
        if (!key.valueIndex_ && key.values_.size() == valuesWithoutIndex) {
            key.valueIndex_ = std::make_unique<std::map<std::string, std::size_t, FoldedLess>>();
            for (std::size_t i = 0; i < key.values_.size(); ++i)
                key.valueIndex_->emplace(key.values_[i].name, i);
        }
        if (key.valueIndex_)
            key.valueIndex_->emplace(value.name, index);
        key.values_.push_back(std::move(value));
        return true;
    }
    Value& old = key.values_[index];
    // The comments before a repeated value line follow those before the first one.
    if (value.read && !value.read->leading.empty()) {
        if (!old.read)
            old.read = std::make_unique<ReadText>();
        old.read->leading += value.read->leading;
    }
    if (old.form == value.form && old.type == value.type && old.data == value.data &&
        old.number == value.number)
        return false;
    // The name keeps the case it was created with; comments before it stay in place.
    value.name = std::move(old.name);
    value.read = std::move(old.read);
    if (value.read)
        value.read->source.clear();
    old = std::move(value);
    return true;
}

} // namespace modRegistryUpdate::store
