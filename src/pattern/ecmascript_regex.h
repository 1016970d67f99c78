#pragma once

#include <cstddef>
#include <string>

namespace modRegistryUpdate {

/// Patterns longer than this many characters are invalid.
constexpr std::size_t longestPattern = 10000;

/// Whether the ECMAScript pattern matches anywhere in the text (both UTF-8), ignoring letter
/// case; single-line, so the anchors match only at the ends of the text. Matched by Boost.Regex
/// over characters: UTF-16 units where wchar_t has 16 bits, code points where it has 32. An
/// escape of a letter with no meaning of its own (such as \N or \T) stands for the letter
/// itself. An invalid pattern, one longer than longestPattern characters, or one whose match would
/// take more than a fixed number of steps raises a Failure.
bool ecmaScriptTest(const std::string& pattern, const std::string& text);

} // namespace modRegistryUpdate
