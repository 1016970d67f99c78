// Writes a key tree as a registry export: the writing half of reg_file.h.
#include "store/reg_file.h"

#include "store/reg_syntax.h"
#include "text/unicode_text.h"
#include "text/windows_1252.h"

#include <array>
#include <cstdio>
#include <utility>
#include <vector>

namespace modRegistryUpdate::store {
namespace {

/// What a character of quoted text is written as, or null for itself: the line breaks and NULs
/// a name may hold are escaped as the reader expects, so that one entry always stays on one line.
const char* escapeOf(char c) {
    switch (c) {
    case '\\':
        return "\\\\";
    case '"':
        return "\\\"";
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\0':
        return "\\0";
    default:
        return nullptr;
    }
}

// What a byte asks of quoted text: an escape (see `escapeOf`), or, for a control character, that
// a value's text holding it is written as bytes instead.
constexpr unsigned char escaped = 1;
constexpr unsigned char control = 2;

constexpr std::array<unsigned char, 256> byteKinds() {
    std::array<unsigned char, 256> kinds{};
    for (unsigned char c = 0; c < 0x20; ++c)
        kinds[c] = control;
    for (const char c : {'\\', '"', '\n', '\r', '\0'})
        kinds[static_cast<unsigned char>(c)] |= escaped;
    return kinds;
}

/// The kinds of all the text's bytes together, looked up in one pass: a store's text is mostly
/// plain, and plain text is then copied whole.
unsigned char kindsOf(std::string_view text) {
    static constexpr std::array<unsigned char, 256> kinds = byteKinds();
    unsigned char found = 0;
    for (const char c : text)
        found |= kinds[static_cast<unsigned char>(c)];
    return found;
}

/// Appends the text quoted; `kinds` is what `kindsOf` found in it.
void appendQuoted(std::string& out, std::string_view text, unsigned char kinds) {
    out += '"';
    if (kinds & escaped) {
        std::size_t start = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (const char* escape = escapeOf(text[i])) {
                out.append(text.substr(start, i - start)).append(escape);
                start = i + 1;
            }
        }
        text.remove_prefix(start);
    }
    out.append(text) += '"';
}

std::string hexData(const std::string& prefix, std::string_view bytes) {
    std::string out = prefix;
    std::size_t column = prefix.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char piece[4];
        std::snprintf(piece, sizeof piece, "%02x", static_cast<unsigned char>(bytes[i]));
        std::string item = piece;
        if (i + 1 < bytes.size())
            item += ',';
        // Lines are wrapped as an export wraps them, below 80 columns.
        if (column + item.size() > 77) {
            out += "\\\r\n  ";
            column = 2;
        }
        out += item;
        column += item.size();
    }
    return out + lineEnd;
}

/// The text as the bytes of a REG_SZ, terminating NUL included, appended to `bytes`: UTF-16LE,
/// or for a UTF-8 file windows-1252. Returns whether every character had its bytes.
bool appendTextBytes(std::string& bytes, std::string_view text, bool utf16) {
    const std::string wide = text::utf8ToUtf16le(std::string(text)) + std::string(2, '\0');
    if (!utf16)
        return text::utf16leToWindows1252(wide, bytes);
    bytes += wide;
    return true;
}

void appendValue(std::string& out, const Value& value, bool utf16) {
    if (value.form == DataForm::text && !value.name.empty()) {
        const unsigned char kinds = kindsOf(value.name) | kindsOf(value.data);
        if (kinds == 0) {
            (out += '"').append(value.name).append("\"=\"", 3).append(value.data);
            out.append("\"\r\n", 3);
            return;
        }
    }
    if (value.name.empty())
        out += '@';
    else
        appendQuoted(out, value.name, kindsOf(value.name));
    out += '=';
    switch (value.form) {
    case DataForm::text: {
        // Text with control characters cannot stand on one line: it is written as REG_SZ bytes.
        // Text a UTF-8 file cannot hold as bytes can only have been read from the file, quoted
        // (the store refuses it otherwise): it stays quoted, escaped as it was read.
        const unsigned char kinds = kindsOf(value.data);
        std::string bytes;
        if ((kinds & control) && appendTextBytes(bytes, value.data, utf16)) {
            out += hexData("hex(1):", bytes);
        } else {
            appendQuoted(out, value.data, kinds);
            out += lineEnd;
        }
        return;
    }
    case DataForm::dword: {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(value.number));
        out.append("dword:").append(digits).append(lineEnd);
        return;
    }
    case DataForm::bytes:
        break;
    }
    char type[24] = "hex:";
    if (value.type != 3)
        std::snprintf(type, sizeof type, "hex(%x):", static_cast<unsigned>(value.type));
    if (utf16 || !holdsText(value.type)) {
        out += hexData(type, value.data);
        return;
    }
    // Text data read from a UTF-8 file came from windows-1252, so it always goes back.
    std::string bytes;
    text::utf16leToWindows1252(value.data, bytes);
    out += hexData(type, bytes);
}

/// The paths of the sections written, each made from the one before: a key mostly follows its
/// parent or a sibling, so only its last names are new.
class SectionPaths {
public:
    /// The key's path from the root, names as created.
    const std::string& of(const Key& key) {
        chain_.clear();
        for (const Key* step = &key; step->parent(); step = step->parent())
            chain_.push_back(step);
        // The chain runs up from the key, the remembered keys down from the root.
        std::size_t kept = 0;
        while (kept < keys_.size() && kept < chain_.size() &&
               keys_[kept].first == chain_[chain_.size() - 1 - kept])
            ++kept;
        keys_.resize(kept);
        path_.resize(kept > 0 ? keys_.back().second : 0);
        for (std::size_t i = chain_.size() - kept; i-- > 0;) {
            if (!keys_.empty())
                path_ += '\\';
            path_.append(chain_[i]->name());
            keys_.emplace_back(chain_[i], path_.size());
        }
        return path_;
    }

private:
    std::string path_;
    std::vector<std::pair<const Key*, std::size_t>> keys_; ///< along the path, with where each ends
    std::vector<const Key*> chain_;                        ///< room to work in
};

} // namespace

bool holdsValue(Encoding encoding, const Value& value) {
    std::string bytes;
    return encoding == Encoding::utf16le || value.form != DataForm::text ||
           !(kindsOf(value.data) & control) || appendTextBytes(bytes, value.data, false);
}

void writeRegFile(const FileText& text, const std::function<void(std::string_view)>& encoded) {
    const bool utf16 = text.encoding == Encoding::utf16le;
    // Chunks end at line ends, so each holds whole characters to convert.
    const auto write = [&](const std::string& utf8) {
        if (utf16)
            encoded(text::utf8ToUtf16le(utf8));
        else
            encoded(utf8);
    };
    if (utf16)
        encoded(utf16Mark);
    else if (text.encoding == Encoding::utf8WithByteOrderMark)
        encoded(utf8Mark);
    // Pieces are gathered into chunks, so that a store of millions of values is neither written
    // a line at a time nor held whole a second time.
    constexpr std::size_t chunk = 1 << 20;
    std::string out;
    out.reserve(2 * chunk);
    out.append(fileHeader).append(lineEnd).append(lineEnd);
    SectionPaths paths;
    for (const Key* key : text.sections()) {
        if (const ReadText* read = text.keyText(*key)) {
            out.append(read->leading).append(read->source).append(lineEnd);
        } else {
            (out += '[').append(rootName).append(key->parent() ? "\\" : "");
            out.append(paths.of(*key)).append("]\r\n", 3);
        }
        key->forEachValue([&out, &text, utf16](const Value& value, std::size_t ordinal) {
            const ReadText* read = text.valueText(ordinal);
            if (read)
                out += read->leading;
            if (read && !read->source.empty())
                out += read->source;
            else
                appendValue(out, value, utf16);
        });
        out += lineEnd;
        if (out.size() >= chunk) {
            write(out);
            out.clear();
        }
    }
    out += text.trailer;
    write(out);
}

} // namespace modRegistryUpdate::store
