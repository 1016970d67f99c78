#pragma once

#include <string>
#include <string_view>

namespace modRegistryUpdate::text {

// windows-1252, the ANSI code page of Western Windows and of the tests' Wine: the single-byte
// text `reg import` reads a file without a byte-order mark in, as Windows maps it. The five bytes
// the code page leaves unassigned (81, 8D, 8F, 90, 9D) are the C1 controls of the same number.

/// The bytes as UTF-16LE, one unit per byte.
std::string windows1252ToUtf16le(std::string_view bytes);

/// UTF-16LE bytes as windows-1252, appended to `bytes`; a unit the code page lacks becomes '?', as
/// Windows' own conversion makes it. Returns whether every unit had its byte.
bool utf16leToWindows1252(std::string_view utf16, std::string& bytes);

} // namespace modRegistryUpdate::text
