#pragma once

#include "store/arena.h"
#include "store/key_tree.h"

#include <string>
#include <string_view>
#include <vector>

namespace modRegistryUpdate::store {

/// How a store file's bytes hold its text. An export on Windows writes UTF-16LE with a
/// byte-order mark, and Windows' importer reads a file without a mark in the ANSI code page.
enum class Encoding { utf16le, utf8, utf8WithByteOrderMark };

/// How an entry stood in the file it was read from, to write it back the same way.
struct ReadText {
    std::string_view leading;    ///< comment lines before it
    std::string_view source;     ///< its own lines; empty for a value once it changes
    std::size_t leadingRoom = 0; ///< the bytes `leading` has to itself (arena.h)
};

/// What the store file holds beyond a key tree's keys and values, kept beside the tree by the
/// keys' and values' ordinals: its encoding, which keys have a section and in what order, and the
/// lines and comments read, so that what a run leaves alone is written back as it was read.
class FileText {
public:
    FileText() = default;
    FileText(const FileText&) = delete;
    FileText& operator=(const FileText&) = delete;

    /// Keys with a section, in the order they are written.
    const std::vector<const Key*>& sections() const { return sections_; }
    /// Gives the key a section at the end of the order, if it has none yet: as an export shows
    /// every key, each key a run makes or writes into gets one.
    void addSection(const Key& key);

    /// The key's section line as read, and the comments before it; null when it has none.
    const ReadText* keyText(const Key& key) const;
    void keepKeyText(const Key& key, std::string_view leading, std::string_view source);

    /// The value's lines as read, and the comments before it; null when it has none.
    const ReadText* valueText(std::size_t ordinal) const;
    void keepValueText(std::size_t ordinal, std::string_view leading, std::string_view source);
    /// Adds comments before a repeated value line to those before the value's first line.
    void addLeading(std::size_t ordinal, std::string_view leading);

    /// Puts the value into the key as `KeyTree::putValue` does. A value whose data changed loses
    /// the lines read for it, so that it is written anew, after the comments it had.
    PutValue putValue(KeyTree& tree, Key& key, const Value& value);

    std::string trailer; ///< comment lines after the last value
    /// The encoding the file was read in, written back the same; a new store is written as
    /// Windows exports.
    Encoding encoding = Encoding::utf16le;

private:
    Arena arena_;
    std::vector<const Key*> sections_;
    std::vector<bool> hasSection_;     ///< by key ordinal
    std::vector<ReadText> keyTexts_;   ///< by key ordinal, up to the last key read
    std::vector<ReadText> valueTexts_; ///< by value ordinal, up to the last value read
};

} // namespace modRegistryUpdate::store
