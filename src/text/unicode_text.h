#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace modRegistryUpdate::text {

// Registry text is held as UTF-8, and a lone UTF-16 surrogate, which a registry name or text may
// hold, as the three bytes UTF-8's pattern gives its number (ED A0 80 to ED BF BF), so that it
// is written back as the unit it was read as.

/// The UTF-8 text in upper case, UTF-16 unit by unit as the registry's table maps them: a
/// character beyond U+FFFF stays as it is. Bytes that are not valid UTF-8 are kept as they are.
std::string upperCaseUtf8(const std::string& text);

/// Whether two UTF-8 texts are the same name to the registry: equal unit by unit in upper case.
/// Bytes that are not valid UTF-8 equal only themselves.
bool equalFolded(std::string_view left, std::string_view right);

/// A hash of the UTF-8 text that is the same for texts `equalFolded` finds equal.
std::size_t hashFolded(std::string_view text);

/// Appends UTF-16LE bytes as UTF-8, a lone surrogate included. Returns false for an odd byte
/// count, after appending the whole units.
bool utf16leToUtf8(const char* bytes, std::size_t size, std::string& utf8);

/// The text with each lone surrogate made U+FFFD, as Windows makes UTF-16 text UTF-8 for a
/// program; other bytes stay as they are.
std::string replaceLoneSurrogates(std::string_view utf8);

/// UTF-8 text as UTF-16LE bytes, a lone surrogate included; other bytes that are not valid UTF-8
/// become U+FFFD.
std::string utf8ToUtf16le(const std::string& utf8);

/// How many UTF-16 code units the UTF-8 text takes, the unit the registry counts names in.
std::size_t utf16Length(std::string_view utf8);

} // namespace modRegistryUpdate::text
