#include "store/key_tree.h"

#include "text/unicode_text.h"

#include <functional>

namespace modRegistryUpdate::store {

NameInKey::NameInKey(const Key* key, std::string_view name)
    : key(key), name(name), hash(text::hashFolded(name) ^ std::hash<const Key*>()(key)) {}

std::size_t NameInKeyHash::operator()(const NameInKey& name) const {
    return name.hash;
}

bool NameInKeyEqual::operator()(const NameInKey& left, const NameInKey& right) const {
    return left.key == right.key && text::equalFolded(left.name, right.name);
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
    const auto found = children_.find(NameInKey{&parent, name});
    return found == children_.end() ? nullptr : found->second;
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
    NameInKey wanted(&parent, name);
    const auto found = children_.find(wanted);
    if (found != children_.end())
        return *found->second;
    Key& key = arena_.make<Key>();
    key.parent_ = &parent;
    key.name_ = arena_.keep(name);
    // The map keeps a view of the key's own copy of the name.
    wanted.name = key.name_;
    children_.emplace(wanted, &key);
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

Value* KeyTree::valueOf(const Key& key, std::string_view name) const {
    if (key.valueCount_ > valuesWithoutIndex) {
        const auto found = valueIndex_.find(NameInKey{&key, name});
        return found == valueIndex_.end() ? nullptr : found->second;
    }
    for (ValueNode* node = key.firstValue_; node; node = node->next) {
        if (text::equalFolded(node->value.name, name))
            return &node->value;
    }
    return nullptr;
}

const Value* KeyTree::findValue(const Key& key, std::string_view name) const {
    return valueOf(key, name);
}

std::optional<ReadText> KeyTree::kept(const std::optional<ReadText>& read) {
    if (!read)
        return std::nullopt;
    const std::string_view leading = arena_.keep(read->leading);
    return ReadText{leading, arena_.keep(read->source), leading.size()};
}

void KeyTree::addValue(Key& key, const Value& value) {
    ValueNode& node = arena_.make<ValueNode>();
    node.value = value;
    node.value.name = arena_.keep(value.name);
    node.value.data = arena_.keep(value.data);
    node.value.dataRoom = node.value.data.size();
    node.value.read = kept(value.read);
    (key.lastValue_ ? key.lastValue_->next : key.firstValue_) = &node;
    key.lastValue_ = &node;
    if (++key.valueCount_ <= valuesWithoutIndex)
        return;
    // The key just outgrew the scan: all its values are indexed, else only the new one.
    ValueNode* first = key.valueCount_ == valuesWithoutIndex + 1 ? key.firstValue_ : &node;
    for (ValueNode* indexed = first; indexed; indexed = indexed->next)
        valueIndex_.emplace(NameInKey{&key, indexed->value.name}, &indexed->value);
}

bool KeyTree::putValue(Key& key, const Value& value) {
    Value* old = valueOf(key, value.name);
    if (!old) {
        addValue(key, value);
        return true;
    }
    // The comments before a repeated value line follow those before the first one.
    if (value.read && !value.read->leading.empty()) {
        if (!old->read)
            old->read.emplace();
        old->read->leading =
            arena_.append(old->read->leading, old->read->leadingRoom, value.read->leading);
    }
    if (old->form == value.form && old->type == value.type && old->data == value.data &&
        old->number == value.number)
        return false;
    // The name keeps the case it was created with (the index views it); comments before it stay
    // in place.
    old->data = arena_.rewrite(old->data, old->dataRoom, value.data);
    old->type = value.type;
    old->number = value.number;
    old->form = value.form;
    if (old->read)
        old->read->source = std::string_view();
    return true;
}

} // namespace modRegistryUpdate::store
