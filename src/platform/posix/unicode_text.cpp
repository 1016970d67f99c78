// UTF-8 and UTF-16 are converted by hand: the standard library's converters are deprecated and
// the rules needed here (keep invalid bytes, count UTF-16 units) are a few lines each.
#include "platform/posix/unicode_text.h"

#include <clocale>
#include <cwctype>
#include <locale.h>

namespace modRegistryUpdate::posix {
namespace {

constexpr char32_t invalid = 0xFFFFFFFF;

/// Decodes one character at `pos` and advances past it; `invalid` for a malformed sequence,
/// after advancing one byte.
char32_t decode(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = lead < 0x80                   ? 1
                         : lead >= 0xF0 && lead < 0xF5 ? 4
                         : lead >= 0xE0                ? 3
                         : lead >= 0xC2 && lead < 0xE0 ? 2
                                                       : 0;
    if (length == 0 || pos + length > text.size()) {
        ++pos;
        return invalid;
    }
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return invalid;
        }
        code = (code << 6) | (next & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) {
        ++pos;
        return invalid;
    }
    pos += length;
    return code;
}

void encode(char32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
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
        const auto leftByte = static_cast<unsigned char>(left[l]);
        const auto rightByte = static_cast<unsigned char>(right[r]);
        // Names mostly share long stretches byte for byte; only a difference needs folding.
        if (leftByte == rightByte && leftByte < 0x80) {
            ++l;
            ++r;
            continue;
        }
        char32_t a;
        char32_t b;
        if (leftByte < 0x80 && rightByte < 0x80) {
            a = leftByte >= 'a' && leftByte <= 'z' ? leftByte - 'a' + 'A' : leftByte;
            b = rightByte >= 'a' && rightByte <= 'z' ? rightByte - 'a' + 'A' : rightByte;
            ++l;
            ++r;
        } else {
            const std::size_t leftStart = l;
            const std::size_t rightStart = r;
            a = decode(left, l);
            b = decode(right, r);
            a = a == invalid ? 0x110000 + static_cast<unsigned char>(left[leftStart])
                             : upperCase(a);
            b = b == invalid ? 0x110000 + static_cast<unsigned char>(right[rightStart])
                             : upperCase(b);
        }
        if (a != b)
            return a < b ? -1 : 1;
    }
    return (l < left.size()) - (r < right.size());
}

bool utf16leToUtf8(const char* bytes, std::size_t size, std::string& utf8) {
    if (size % 2 != 0)
        return false;
    utf8.reserve(utf8.size() + size / 2);
    const auto unit = [bytes](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    };
    for (std::size_t i = 0; i < size / 2; ++i) {
        char32_t code = unit(i);
        if (code >= 0xD800 && code < 0xDC00) {
            if (i + 1 >= size / 2 || unit(i + 1) < 0xDC00 || unit(i + 1) >= 0xE000)
                return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (unit(++i) - 0xDC00);
        } else if (code >= 0xDC00 && code < 0xE000) {
            return false;
        }
        encode(code, utf8);
    }
    return true;
}

std::string utf8ToUtf16le(const std::string& utf8) {
    std::string result;
    const auto put = [&result](char32_t unit) {
        result += static_cast<char>(unit & 0xFF);
        result += static_cast<char>(unit >> 8);
    };
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t code = decode(utf8, pos);
        if (code == invalid)
            code = 0xFFFD;
        if (code >= 0x10000) {
            put(0xD800 + ((code - 0x10000) >> 10));
            put(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            put(code);
        }
    }
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

} // namespace modRegistryUpdate::posix
