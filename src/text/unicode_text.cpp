// Conversions go through utfcpp; by hand are only the rules it has no call for: a lone surrogate
// kept as its three bytes, and a byte that does not start a valid UTF-8 character kept as it is,
// one byte at a time.
#include "text/unicode_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <memory>
#include <utf8cpp/utf8.h>

namespace modRegistryUpdate::text {
namespace {

constexpr char32_t invalid = 0xFFFFFFFF;

/// Decodes one character or lone surrogate at `pos` and advances past it; `invalid` for any
/// other malformed sequence, after advancing one byte.
char32_t decode(std::string_view text, std::size_t& pos) {
    const char* start = text.data() + pos;
    const char* end = text.data() + std::min(text.size(), pos + 4);
    // The first sequence is valid exactly when the first invalid one starts later.
    if (utf8::find_invalid(start, end) == start) {
        const auto byte = [&](std::size_t i) {
            return static_cast<unsigned char>(start[i]);
        };
        if (end - start >= 3 && byte(0) == 0xED && byte(1) >= 0xA0 && byte(1) <= 0xBF &&
            byte(2) >= 0x80 && byte(2) <= 0xBF) {
            pos += 3;
            return 0xD000 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
        }
        ++pos;
        return invalid;
    }
    const char* next = start;
    const char32_t code = utf8::unchecked::next(next);
    pos += static_cast<std::size_t>(next - start);
    return code;
}

/// The units that have an upper case, from Unicode's data (see scripts/make-case-tables.py).
constexpr std::pair<char16_t, char16_t> upperCasePairs[] = {
#include "text/upper_case_table.inc"
};

/// Every unit's upper case, looked up at once.
const std::array<char16_t, 0x10000>& upperCaseTable() {
    static const std::unique_ptr<std::array<char16_t, 0x10000>> table = [] {
        auto made = std::make_unique<std::array<char16_t, 0x10000>>();
        for (std::size_t unit = 0; unit < made->size(); ++unit)
            (*made)[unit] = static_cast<char16_t>(unit);
        for (const auto& [unit, upper] : upperCasePairs)
            (*made)[unit] = upper;
        return made;
    }();
    return *table;
}

/// The registry's upper case of one UTF-16 code unit: Unicode's simple mapping where it leads
/// back, so that 'ı', 'ſ' or 'ς' stay as they are.
char16_t upperCaseUnit(char16_t unit) {
    return upperCaseTable()[unit];
}

/// The character at `pos` as names compare, advancing past it: a unit in upper case; a character
/// beyond U+FFFF is two units without an upper case, so it stands for itself; a byte that is
/// not valid UTF-8 after all characters, by its value.
char32_t foldedAt(std::string_view text, std::size_t& pos) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
        ++pos;
        return byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : byte;
    }
    const char32_t code = decode(text, pos);
    if (code == invalid)
        return 0x110000 + byte;
    return code < 0x10000 ? upperCaseUnit(static_cast<char16_t>(code)) : code;
}

} // namespace

std::string upperCaseUtf8(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            result += static_cast<char>(byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : byte);
            ++pos;
            continue;
        }
        const std::size_t start = pos;
        const char32_t code = decode(text, pos);
        if (code == invalid || code >= 0x10000)
            result.append(text, start, pos - start);
        else
            utf8::unchecked::append(upperCaseUnit(static_cast<char16_t>(code)),
                                    std::back_inserter(result));
    }
    return result;
}

bool equalFolded(std::string_view left, std::string_view right) {
    // Names side by side mostly differ in their last character (Mode0, Mode1). A last byte below
    // 0x80 is a character of its own, so two such that differ tell at once.
    if (!left.empty() && !right.empty()) {
        std::size_t l = left.size() - 1;
        std::size_t r = right.size() - 1;
        if (static_cast<unsigned char>(left[l]) < 0x80 &&
            static_cast<unsigned char>(right[r]) < 0x80 && foldedAt(left, l) != foldedAt(right, r))
            return false;
    }
    std::size_t l = 0;
    std::size_t r = 0;
    while (l < left.size() && r < right.size()) {
        // Names mostly share long stretches byte for byte; only a difference needs folding.
        if (left[l] == right[r] && static_cast<unsigned char>(left[l]) < 0x80) {
            ++l;
            ++r;
            continue;
        }
        if (foldedAt(left, l) != foldedAt(right, r))
            return false;
    }
    return l == left.size() && r == right.size();
}

std::size_t hashFolded(std::string_view text) {
    // FNV-1a over the folded characters, so that names that compare equal hash alike.
    std::uint64_t hash = 14695981039346656037u;
    for (std::size_t pos = 0; pos < text.size();)
        hash = (hash ^ foldedAt(text, pos)) * 1099511628211u;
    return static_cast<std::size_t>(hash);
}

bool utf16leToUtf8(const char* bytes, std::size_t size, std::string& utf8) {
    const auto unitAt = [bytes](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    };
    const std::size_t units = size / 2;
    utf8.reserve(utf8.size() + units);
    auto out = std::back_inserter(utf8);
    for (std::size_t i = 0; i < units; ++i) {
        char32_t code = unitAt(i);
        if (code < 0x80) {
            utf8 += static_cast<char>(code);
            continue;
        }
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < units && unitAt(i + 1) >= 0xDC00 &&
            unitAt(i + 1) <= 0xDFFF)
            code = 0x10000 + ((code - 0xD800) << 10) + (unitAt(++i) - 0xDC00);
        // A lone surrogate too: written by UTF-8's pattern, which utfcpp's unchecked call follows.
        out = utf8::unchecked::append(code, out);
    }
    return size % 2 == 0;
}

std::string replaceLoneSurrogates(std::string_view utf8) {
    std::string result;
    result.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t start = pos;
        const char32_t code = decode(utf8, pos);
        if (code >= 0xD800 && code <= 0xDFFF)
            result += "\xEF\xBF\xBD";
        else
            result.append(utf8, start, pos - start);
    }
    return result;
}

std::string utf8ToUtf16le(const std::string& utf8) {
    // One pass, straight into room for the most units the text can make: one per byte.
    std::string result(2 * utf8.size(), '\0');
    char* out = result.data();
    const auto put = [&out](char32_t unit) {
        *out++ = static_cast<char>(unit & 0xFF);
        *out++ = static_cast<char>(unit >> 8);
    };
    for (std::size_t pos = 0; pos < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[pos]);
        if (byte < 0x80) {
            put(byte);
            ++pos;
            continue;
        }
        const char32_t code = decode(utf8, pos);
        if (code == invalid) {
            // One U+FFFD for the invalid sequence: its first byte and the continuation bytes after.
            put(0xFFFD);
            while (pos < utf8.size() && (static_cast<unsigned char>(utf8[pos]) & 0xC0) == 0x80)
                ++pos;
        } else if (code < 0x10000) {
            put(code);
        } else {
            put(0xD800 + ((code - 0x10000) >> 10));
            put(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
    }
    result.resize(static_cast<std::size_t>(out - result.data()));
    return result;
}

std::size_t utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t code = decode(utf8, pos);
        units += code != invalid && code >= 0x10000 ? 2 : 1;
    }
    return units;
}

} // namespace modRegistryUpdate::text
