#pragma once

#include "store/arena.h"
#include "store/entries.h"

#include <memory_resource>
#include <string_view>
#include <unordered_map>

namespace modRegistryUpdate::store {

class Key;

/// A name within a key: one of its children or values. Names compare as the registry compares
/// them, without regard to case.
struct NameInKey {
    NameInKey(const Key* key, std::string_view name);

    const Key* key;
    std::string_view name;
    std::size_t hash; ///< worked out once, for the lookup and the insertion that may follow
};

struct NameInKeyHash {
    std::size_t operator()(const NameInKey& name) const;
};

struct NameInKeyEqual {
    bool operator()(const NameInKey& left, const NameInKey& right) const;
};

/// A value in its key's list, which keeps the order values were first written in.
struct ValueNode {
    Value value;
    std::size_t dataRoom = 0; ///< the bytes `value.data` has to itself (arena.h)
    std::size_t ordinal = 0;
    ValueNode* next = nullptr;
};

/// What `KeyTree::putValue` did.
struct PutValue {
    std::size_t ordinal; ///< the value's (see `KeyTree`)
    bool added;          ///< it was new to the key
    bool changed;        ///< added, or its data differ from before
};

/// A key of the tree. Its place, children and values change only through its tree.
class Key {
public:
    /// Null for the root.
    const Key* parent() const { return parent_; }
    /// Its name as created.
    std::string_view name() const { return name_; }
    /// Its number in the tree (see `KeyTree`); the root's is 0.
    std::size_t ordinal() const { return ordinal_; }
    /// Calls `visit` with each value and its ordinal, in the order first written.
    template <typename Visit> void forEachValue(Visit visit) const {
        for (const ValueNode* node = firstValue_; node; node = node->next)
            visit(node->value, node->ordinal);
    }

private:
    friend class KeyTree;

    Key* parent_ = nullptr;
    std::string_view name_;
    ValueNode* firstValue_ = nullptr;
    ValueNode* lastValue_ = nullptr;
    std::size_t valueCount_ = 0;
    std::size_t ordinal_ = 0;
};

/// One registry root held in memory: names compare without regard to case and keep the case
/// they were created with; each key's values keep the order they were first written in. Keys, and
/// values, are numbered in the order they are made, from 0, so that what the file adds about
/// them (file_text.h) is kept beside the tree by number.
class KeyTree {
public:
    KeyTree() = default;
    KeyTree(const KeyTree&) = delete;
    KeyTree& operator=(const KeyTree&) = delete;

    Key& root() { return root_; }

    /// The key at this path (backslash-separated, empty segments ignored), or null when it
    /// does not exist.
    Key* find(std::string_view path);
    /// The key at this path, made with its missing parents.
    Key& create(std::string_view path);
    /// The parent's child of that name, or null.
    Key* child(Key& parent, std::string_view name);
    /// The parent's child of that name, made if missing.
    Key& findOrMakeChild(Key& parent, std::string_view name);
    /// How many keys were made, the root included: the next key's ordinal. A call made keys
    /// exactly when it raised the count.
    std::size_t keyCount() const { return keyCount_; }
    /// The value of that name, or null.
    const Value* findValue(const Key& key, std::string_view name) const;
    /// Adds a copy of the value, or replaces the data of one of the same name in place.
    PutValue putValue(Key& key, const Value& value);

private:
    template <typename Found>
    using NameMap = std::pmr::unordered_map<NameInKey, Found, NameInKeyHash, NameInKeyEqual>;

    ValueNode* valueOf(const Key& key, std::string_view name) const;
    ValueNode& addValue(Key& key, const Value& value);

    // Keys, values, their names and data and the maps' entries all live in the arena, which
    // gives them stable addresses and frees them in a few blocks; the maps find keys and values
    // by name through views of the names the arena holds.
    Arena arena_;
    Key& root_ = arena_.make<Key>();
    std::size_t keyCount_ = 1;
    std::size_t valueCount_ = 0;
    NameMap<Key*> children_{arena_.resource()};
    /// Values by name, only of keys that hold many: most hold a few, which a scan finds as fast.
    NameMap<ValueNode*> valueIndex_{arena_.resource()};
};

} // namespace modRegistryUpdate::store
