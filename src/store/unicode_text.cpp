// Conversions go through utfcpp; by hand is only the rule it has no call for: a byte that does
// not start a valid UTF-8 character is kept as it is, one byte at a time.
#include "store/unicode_text.h"

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cwctype>
#include <iterator>
#include <locale.h>
#include <utf8.h>

namespace modRegistryUpdate::store {
namespace {

constexpr char32_t invalid = 0xFFFFFFFF;

/// Decodes one character at `pos` and advances past it; `invalid` for a malformed sequence,
/// after advancing one byte.
char32_t decode(std::string_view text, std::size_t& pos) {
    const char* start = text.data() + pos;
    const char* end = text.data() + std::min(text.size(), pos + 4);
    // The first sequence is valid exactly when the first invalid one starts later.
    if (utf8::find_invalid(start, end) == start) {
        ++pos;
        return invalid;
    }
    const char* next = start;
    const char32_t code = utf8::unchecked::next(next);
    pos += static_cast<std::size_t>(next - start);
    return code;
}

void encode(char32_t code, std::string& out) {
    utf8::unchecked::append(code, std::back_inserter(out));
}

locale_t unicodeLocale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    return locale;
}

char32_t upperCase(char32_t code) {
    const locale_t locale = unicodeLocale();
    return locale ? static_cast<char32_t>(towupper_l(static_cast<wint_t>(code), locale))
                  : static_cast<char32_t>(towupper(static_cast<wint_t>(code)));
}

/// The character at `pos` as names compare, advancing past it: in upper case, and a byte that is
/// not valid UTF-8 after all characters, by its value.
char32_t foldedAt(std::string_view text, std::size_t& pos) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
        ++pos;
        return byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : byte;
    }
    const char32_t code = decode(text, pos);
    return code == invalid ? 0x110000 + byte : upperCase(code);
}

/// UTF-8 text with invalid bytes as UTF-16LE bytes, each invalid sequence made U+FFFD.
std::string replacedToUtf16le(const std::string& utf8) {
    std::string valid;
    utf8::replace_invalid(utf8.begin(), utf8.end(), std::back_inserter(valid), 0xFFFD);
    std::u16string units;
    utf8::unchecked::utf8to16(valid.begin(), valid.end(), std::back_inserter(units));
    std::string result;
    result.reserve(2 * units.size());
    for (const char16_t unit : units) {
        result += static_cast<char>(unit & 0xFF);
        result += static_cast<char>(unit >> 8);
    }
    return result;
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
        if (code == invalid)
            result.append(text, start, pos - start);
        else
            encode(upperCase(code), result);
    }
    return result;
}

int compareFolded(std::string_view left, std::string_view right) {
    std::size_t l = 0;
    std::size_t r = 0;
    while (l < left.size() && r < right.size()) {
        // Names mostly share long stretches byte for byte; only a difference needs folding.
        if (left[l] == right[r] && static_cast<unsigned char>(left[l]) < 0x80) {
            ++l;
            ++r;
            continue;
        }
        const char32_t a = foldedAt(left, l);
        const char32_t b = foldedAt(right, r);
        if (a != b)
            return a < b ? -1 : 1;
    }
    return (l < left.size()) - (r < right.size());
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
    return compareFolded(left, right) == 0;
}

std::size_t hashFolded(std::string_view text) {
    // FNV-1a over the folded characters, so that names that compare equal hash alike.
    std::uint64_t hash = 14695981039346656037u;
    for (std::size_t pos = 0; pos < text.size();)
        hash = (hash ^ foldedAt(text, pos)) * 1099511628211u;
    return static_cast<std::size_t>(hash);
}

bool utf16leToUtf8(const char* bytes, std::size_t size, std::string& utf8) {
    if (size % 2 != 0)
        return false;
    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    utf8.reserve(utf8.size() + units.size());
    try {
        utf8::utf16to8(units.begin(), units.end(), std::back_inserter(utf8));
    } catch (const utf8::exception&) {
        return false; // a broken surrogate pair
    }
    return true;
}

std::string utf8ToUtf16le(const std::string& utf8) {
    // Valid text, as nearly all is, converts in one pass, straight into room for the most units
    // it can make: one per byte.
    std::string result(2 * utf8.size(), '\0');
    char* out = result.data();
    const auto put = [&out](char16_t unit) {
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
        if (code == invalid)
            return replacedToUtf16le(utf8);
        if (code < 0x10000) {
            put(static_cast<char16_t>(code));
        } else {
            put(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            put(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
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

} // namespace modRegistryUpdate::store
