#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace modRegistryUpdate {

/// Why a pattern cannot be used, in words a document author reads in the log.
class PatternError : public std::runtime_error {
public:
    explicit PatternError(const std::string& reason) : std::runtime_error(reason) {}
};

/// An ECMAScript pattern (with the web's lenient reading: an escape with no meaning matches its
/// character, a brace that starts no repeat count is itself) rewritten in Boost.Regex's perl
/// syntax so that it matches exactly what ECMAScript matches, ignoring letter case, against a
/// subject passed through foldCase. Characters are wchar_t units. Syntax ECMAScript lacks,
/// such as possessive repeats, inline modifiers, named groups or lookbehind, raises PatternError.
struct Translation {
    std::wstring pattern;
    /// Whether it compares back-references: one step may then compare the whole subject.
    bool backReferences = false;
};
Translation translateEcmaScript(const std::wstring& pattern);

/// The subject as the translated pattern expects it: each character in the form it takes when
/// letter case is ignored (its upper case, mostly).
std::wstring foldCase(std::wstring text);

} // namespace modRegistryUpdate
