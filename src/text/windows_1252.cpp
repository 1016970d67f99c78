// By hand rather than through iconv: iconv's CP1252 leaves the five unassigned bytes without a
// character, where Windows maps them to the C1 controls of the same number.
#include "text/windows_1252.h"

#include <algorithm>
#include <iterator>

namespace modRegistryUpdate::text {
namespace {

/// The characters of bytes 80 to 9F; every other byte is the character of its own number.
constexpr char16_t fromByte80[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t unitOf(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? fromByte80[byte - 0x80] : byte;
}

/// The byte of a unit, or -1 for none.
int byteOf(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit < 0x100))
        return unit;
    const auto found = std::find(std::begin(fromByte80), std::end(fromByte80), unit);
    return found == std::end(fromByte80) ? -1 : 0x80 + static_cast<int>(found - fromByte80);
}

} // namespace

std::string windows1252ToUtf16le(std::string_view bytes) {
    std::string utf16;
    utf16.reserve(2 * bytes.size());
    for (const char c : bytes) {
        const char16_t unit = unitOf(static_cast<unsigned char>(c));
        utf16 += static_cast<char>(unit & 0xFF);
        utf16 += static_cast<char>(unit >> 8);
    }
    return utf16;
}

bool utf16leToWindows1252(std::string_view utf16, std::string& bytes) {
    bool exact = utf16.size() % 2 == 0;
    for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(utf16[i]) |
                                                static_cast<unsigned char>(utf16[i + 1]) << 8);
        const int byte = byteOf(unit);
        exact = exact && byte >= 0;
        bytes += byte >= 0 ? static_cast<char>(byte) : '?';
    }
    return exact;
}

} // namespace modRegistryUpdate::text
