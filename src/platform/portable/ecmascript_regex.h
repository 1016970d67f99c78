#pragma once

#include "platform/regex.h"

namespace modRegistryUpdate {

/// ECMAScript patterns matched by Boost.Regex over characters: UTF-16 units where wchar_t has 16
/// bits, code points where it has 32. An escape of a letter with no meaning of its own (such as
/// \N or \T) stands for the letter itself. A pattern longer than longestPattern characters, or
/// one whose match would take more than a fixed number of steps, is invalid.
class EcmaScriptRegexEngine : public RegexEngine {
public:
    static constexpr std::size_t longestPattern = 10000;

    bool test(const std::string& pattern, const std::string& text) override;
};

} // namespace modRegistryUpdate
