#pragma once

#include "store/arena.h"

#include <cstdint>
#include <memory_resource>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace modRegistryUpdate::store {

constexpr std::uint32_t regSz = 1;
constexpr std::uint32_t regDword = 4;

/// How a value's data is held: text for REG_SZ written as a quoted string, a number for a
/// dword, raw bytes for everything else.
enum class DataForm { text, dword, bytes };

/// How an entry stood in the file it was read from, to write it back the same way.
struct ReadText {
    std::string_view leading;    ///< comment lines before it
    std::string_view source;     ///< its own lines; emptied once the entry changes
    std::size_t leadingRoom = 0; ///< in the tree, the bytes `leading` has to itself (arena.h)
};

/// A value. In the tree its texts are the tree's own; one handed to the tree may view any text,
/// which the tree copies.
struct Value {
    std::string_view name;    ///< as first written; empty for the default value
    std::string_view data;    ///< UTF-8 text, or raw bytes
    std::size_t dataRoom = 0; ///< in the tree, the bytes `data` has to itself (arena.h)
    std::uint32_t type = regSz;
    std::uint32_t number = 0;
    DataForm form = DataForm::text;
    std::optional<ReadText> read; ///< none when written by this run
};

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
    ValueNode* next = nullptr;
};

/// A key of the tree. Its place, children and values change only through its tree.
class Key {
public:
    /// Null for the root.
    const Key* parent() const { return parent_; }
    /// Its name as created.
    std::string_view name() const { return name_; }
    /// Calls `visit` with each value, in the order first written.
    template <typename Visit> void forEachValue(Visit visit) const {
        for (const ValueNode* node = firstValue_; node; node = node->next)
            visit(node->value);
    }

    /// Its section line as read, and the comments before it; texts the tree keeps (see `keep`).
    std::optional<ReadText> read;

private:
    friend class KeyTree;

    Key* parent_ = nullptr;
    std::string_view name_;
    ValueNode* firstValue_ = nullptr;
    ValueNode* lastValue_ = nullptr;
    std::size_t valueCount_ = 0;
    bool hasSection_ = false;
};

/// How a store file's bytes hold its text. An export on Windows writes UTF-16LE with a
/// byte-order mark, and Windows' importer reads a file without a mark in the ANSI code page.
enum class Encoding { utf16le, utf8, utf8WithByteOrderMark };

/// One registry root held in memory: names compare without regard to case and keep the case
/// they were created with; the order of sections and values is kept for writing back.
class KeyTree {
public:
    KeyTree() = default;
    KeyTree(const KeyTree&) = delete;
    KeyTree& operator=(const KeyTree&) = delete;

    Key& root() { return root_; }

    /// The key at this path (backslash-separated, empty segments ignored), or null when it
    /// does not exist.
    Key* find(std::string_view path);
    /// The key at this path, made with its missing parents; `created` tells whether any was.
    /// With `withSections`, each key made gets a section, as an export shows every key.
    Key& create(std::string_view path, bool withSections, bool& created);
    /// The parent's child of that name, or null.
    Key* child(Key& parent, std::string_view name);
    /// The parent's child of that name, made if missing (see `create`).
    Key& child(Key& parent, std::string_view name, bool withSection, bool& created);
    /// The value of that name, or null.
    const Value* findValue(const Key& key, std::string_view name) const;
    /// Adds a copy of the value, or replaces one of the same name in place. Returns whether it
    /// changed.
    bool putValue(Key& key, const Value& value);
    /// A copy of the text that lasts as long as the tree.
    std::string_view keep(std::string_view text) { return arena_.keep(text); }

    /// Keys with a section, in the order they are written.
    const std::vector<Key*>& sections() const { return sections_; }
    /// Gives the key a section at the end of the order, if it has none yet.
    void addSection(Key& key);

    std::string trailer; ///< comment lines after the last value
    /// The encoding the file was read in, written back the same; a new store is written as
    /// Windows exports.
    Encoding encoding = Encoding::utf16le;

private:
    template <typename Found>
    using NameMap = std::pmr::unordered_map<NameInKey, Found, NameInKeyHash, NameInKeyEqual>;

    Value* valueOf(const Key& key, std::string_view name) const;
    void addValue(Key& key, const Value& value);
    /// The read text as the tree's own copy.
    std::optional<ReadText> kept(const std::optional<ReadText>& read);

    // Keys, values, their names and data and the maps' entries all live in the arena, which
    // gives them stable addresses and frees them in a few blocks; the maps find keys and values
    // by name through views of the names the arena holds.
    Arena arena_;
    Key& root_ = arena_.make<Key>();
    std::vector<Key*> sections_;
    NameMap<Key*> children_{arena_.resource()};
    /// Values by name, only of keys that hold many: most hold a few, which a scan finds as fast.
    NameMap<Value*> valueIndex_{arena_.resource()};
};

/// Calls `visit` with each segment of a backslash-separated path, skipping empty ones, until it
/// returns false. Returns whether every segment was visited.
template <typename Visit> bool forEachSegment(std::string_view path, Visit visit) {
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start && !visit(path.substr(start, end - start)))
            return false;
        start = end + 1;
    }
    return true;
}

} // namespace modRegistryUpdate::store
