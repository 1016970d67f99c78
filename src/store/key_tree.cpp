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

Key& KeyTree::create(std::string_view path) {
    Key* key = &root();
    forEachSegment(path, [&](std::string_view segment) {
        key = &findOrMakeChild(*key, segment);
        return true;
    });
    return *key;
}

Key& KeyTree::findOrMakeChild(Key& parent, std::string_view name) {
    NameInKey wanted(&parent, name);
    const auto found = children_.find(wanted);
    if (found != children_.end())
        return *found->second;
    Key& key = arena_.make<Key>();
    key.parent_ = &parent;
    key.name_ = arena_.keep(name);
    key.ordinal_ = keyCount_++;
    // The map keeps a view of the key's own copy of the name.
    wanted.name = key.name_;
    children_.emplace(wanted, &key);
    return key;
}

namespace {
constexpr std::size_t valuesWithoutIndex = 8;
}

ValueNode* KeyTree::valueOf(const Key& key, std::string_view name) const {
    if (key.valueCount_ > valuesWithoutIndex) {
        const auto found = valueIndex_.find(NameInKey{&key, name});
        return found == valueIndex_.end() ? nullptr : found->second;
    }
    for (ValueNode* node = key.firstValue_; node; node = node->next) {
        if (text::equalFolded(node->value.name, name))
            return node;
    }
    return nullptr;
}

const Value* KeyTree::findValue(const Key& key, std::string_view name) const {
    const ValueNode* node = valueOf(key, name);
    return node ? &node->value : nullptr;
}

ValueNode& KeyTree::addValue(Key& key, const Value& value) {
    ValueNode& node = arena_.make<ValueNode>();
    node.value = value;
    node.value.name = arena_.keep(value.name);
    node.value.data = arena_.keep(value.data);
    node.dataRoom = node.value.data.size();
    node.ordinal = valueCount_++;
    (key.lastValue_ ? key.lastValue_->next : key.firstValue_) = &node;
    key.lastValue_ = &node;
    if (++key.valueCount_ <= valuesWithoutIndex)
        return node;
    // The key just outgrew the scan: all its values are indexed, else only the new one.
    ValueNode* first = key.valueCount_ == valuesWithoutIndex + 1 ? key.firstValue_ : &node;
    for (ValueNode* indexed = first; indexed; indexed = indexed->next)
        valueIndex_.emplace(NameInKey{&key, indexed->value.name}, indexed);
    return node;
}

PutValue KeyTree::putValue(Key& key, const Value& value) {
    ValueNode* old = valueOf(key, value.name);
    if (!old)
        return {addValue(key, value).ordinal, true, true};
    Value& held = old->value;
    if (held.form == value.form && held.type == value.type && held.data == value.data &&
        held.number == value.number)
        return {old->ordinal, false, false};
    // The name keeps the case it was created with (the index views it).
    held.data = arena_.rewrite(held.data, old->dataRoom, value.data);
    held.type = value.type;
    held.number = value.number;
    held.form = value.form;
    return {old->ordinal, false, true};
}

} // namespace modRegistryUpdate::store
