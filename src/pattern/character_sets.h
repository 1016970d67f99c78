#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace modRegistryUpdate {

// Sets of characters as the translator spells them out for the matcher: sorted ranges of codes,
// so that what a set holds never depends on the locale or on the width of wchar_t.

using Code = std::uint32_t;
/// Ranges of codes, first and last included.
using Ranges = std::vector<std::pair<Code, Code>>;

/// The last character: UTF-16 units where wchar_t has 16 bits, code points where it has 32.
constexpr Code lastCode = sizeof(wchar_t) == 2 ? 0xFFFF : 0x10FFFF;

/// The sets of \d, \w, \s (ECMAScript 3's white space) and the characters a dot does not match.
extern const Ranges digits;
extern const Ranges wordCharacters;
extern const Ranges whiteSpace;
extern const Ranges lineTerminators;

/// The same set, its ranges sorted and merged where they touch.
Ranges normalized(Ranges ranges);

/// Every character the normalized set does not hold.
Ranges complement(const Ranges& ranges);

/// Whether the set is one character (a class escape never is).
bool isCharacter(const Ranges& ranges);

/// The character a code stands for when letter case is ignored, as ECMAScript ignores it: its
/// upper case when that is one UTF-16 unit, unless that would make an ASCII letter of a character
/// beyond ASCII. Only characters below U+10000 change, as where characters are UTF-16 units.
Code caseForm(Code code);

/// The set with the case form of each of its characters added, so that it matches a subject of
/// case forms as the set ignoring case would.
Ranges withCaseForms(Ranges ranges);

} // namespace modRegistryUpdate
