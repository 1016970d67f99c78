#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace modRegistryUpdate::store {

/// The UTF-8 text in upper case, character by character. Bytes that are not valid UTF-8 are
/// kept as they are.
std::string upperCaseUtf8(const std::string& text);

/// Orders two UTF-8 texts as their upper-case forms compare, without making them: the order in
/// which the registry's names are kept. Bytes that are not valid UTF-8 order after all
/// characters, by their value.
int compareFolded(std::string_view left, std::string_view right);

/// Whether `compareFolded` finds the texts equal.
bool equalFolded(std::string_view left, std::string_view right);

/// A hash of the UTF-8 text that is the same for texts `compareFolded` finds equal.
std::size_t hashFolded(std::string_view text);

/// UTF-16LE bytes as UTF-8. Returns false for an odd byte count or a broken surrogate pair.
bool utf16leToUtf8(const char* bytes, std::size_t size, std::string& utf8);

/// UTF-8 text as UTF-16LE bytes; invalid bytes become U+FFFD.
std::string utf8ToUtf16le(const std::string& utf8);

/// How many UTF-16 code units the UTF-8 text takes, the unit the registry counts names in.
std::size_t utf16Length(std::string_view utf8);

} // namespace modRegistryUpdate::store
