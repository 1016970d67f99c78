#include "store/reg_file.h"

#include "store/reg_syntax.h"

#include "store/store_error.h"
#include "text/unicode_text.h"
#include "text/windows_1252.h"

#include <algorithm>
#include <vector>

namespace modRegistryUpdate::store {
namespace {

/// The file's text as UTF-8; notes its encoding. An empty file stays new.
std::string decodeFile(const std::string& bytes, Encoding& encoding) {
    if (bytes.compare(0, 2, utf16Mark) == 0) {
        // Any sequence of whole units is text a registry can hold, a lone surrogate included;
        // only half a unit at the end cannot be read.
        std::string utf8;
        if (!text::utf16leToUtf8(bytes.data() + 2, bytes.size() - 2, utf8))
            throw StoreError("line " +
                             std::to_string(std::count(utf8.begin(), utf8.end(), '\n') + 1) +
                             ": the file ends in half a UTF-16 character");
        return utf8;
    }
    if (bytes.compare(0, 3, utf8Mark) == 0) {
        encoding = Encoding::utf8WithByteOrderMark;
        return bytes.substr(3);
    }
    if (!bytes.empty())
        encoding = Encoding::utf8;
    return bytes;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r')
            --stop;
        lines.push_back(text.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

std::string trimmed(const std::string& line) {
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return line.substr(first, line.find_last_not_of(" \t") - first + 1);
}

bool startsWith(const std::string& text, std::size_t pos, const char* prefix) {
    return text.compare(pos, std::char_traits<char>::length(prefix), prefix) == 0;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

/// Parses the lines of one file, remembering where it is for the error it raises.
class Parser {
public:
    Parser(std::vector<std::string> lines, KeyTree& tree, FileText& text)
        : lines_(std::move(lines)), tree_(tree), text_(text) {}

    void parse() {
        if (lines_.empty())
            return;
        if (trimmed(lines_[0]) != fileHeader)
            fail("the file does not start with \"" + fileHeader + "\"");
        for (index_ = 1; index_ < lines_.size(); ++index_) {
            const std::string line = trimmed(lines_[index_]);
            if (line.empty())
                continue;
            if (line[0] == ';')
                pendingComments_ += lines_[index_] + lineEnd;
            else if (line[0] == '[')
                parseSection(line);
            else if (line[0] == '"' || line[0] == '@')
                parseValue(line);
            else
                fail("unrecognised text");
        }
        text_.trailer = pendingComments_;
    }

private:
    [[noreturn]] void fail(const std::string& message) const {
        throw StoreError("line " + std::to_string(index_ + 1) + ": " + message);
    }

    void parseSection(const std::string& line) {
        if (line.back() != ']')
            fail("a key line does not end with ']'");
        const std::string path = line.substr(1, line.size() - 2);
        if (!path.empty() && path[0] == '-')
            fail("a key deletion cannot be part of a store");
        const std::size_t separator = path.find('\\');
        if (text::upperCaseUtf8(path.substr(0, separator)) != rootName)
            fail("a key outside " + rootName);
        Key& key = tree_.create(separator == std::string::npos
                                    ? std::string_view()
                                    : std::string_view(path).substr(separator + 1));
        text_.addSection(key);
        // A repeated section is merged into the first; the comments before it stay pending, to
        // stand before the next line that is written.
        if (!text_.keyText(key)) {
            text_.keepKeyText(key, pendingComments_, lines_[index_]);
            pendingComments_.clear();
        }
        current_ = &key;
    }

    void parseValue(const std::string& firstLine) {
        if (!current_)
            fail("a value before the first key");
        const std::string leading = std::move(pendingComments_);
        pendingComments_.clear();
        std::string source = lines_[index_] + lineEnd;
        std::string name;
        std::string data;
        Value value;
        const std::string& line = firstLine;
        std::size_t pos = 0;
        if (line[0] == '@')
            pos = 1;
        else
            name = quoted(line, pos);
        if (pos >= line.size() || line[pos] != '=')
            fail("a value name is not followed by '='");
        ++pos;
        if (startsWith(line, pos, "\"")) {
            data = quoted(line, pos);
            if (pos != line.size())
                fail("text after a quoted value");
        } else if (startsWith(line, pos, "dword:")) {
            value.form = DataForm::dword;
            value.type = regDword;
            value.number = dword(line.substr(pos + 6));
        } else if (startsWith(line, pos, "hex")) {
            value.form = DataForm::bytes;
            pos += 3;
            value.type = hexType(line, pos);
            data = hexBytes(line.substr(pos), source);
            if (text_.encoding != Encoding::utf16le && holdsText(value.type))
                data = importedText(data);
        } else if (startsWith(line, pos, "-")) {
            fail("a value deletion cannot be part of a store");
        } else {
            fail("unrecognised value data");
        }
        value.name = name;
        value.data = data;
        const PutValue put = text_.putValue(tree_, *current_, value);
        // The comments before a repeated value line follow those before its first line.
        if (put.added)
            text_.keepValueText(put.ordinal, leading, source);
        else
            text_.addLeading(put.ordinal, leading);
    }

    /// The text of a quoted string starting at `pos`, unescaped; `pos` ends past the quote.
    std::string quoted(const std::string& line, std::size_t& pos) const {
        std::string text;
        for (++pos; pos < line.size(); ++pos) {
            char c = line[pos];
            if (c == '"') {
                ++pos;
                return text;
            }
            if (c == '\\') {
                if (++pos == line.size())
                    break;
                c = line[pos];
                if (c == 'n')
                    c = '\n';
                else if (c == 'r')
                    c = '\r';
                else if (c == '0')
                    c = '\0';
                else if (c != '\\' && c != '"')
                    fail("an unknown escape in a quoted string");
            }
            text += c;
        }
        fail("a quoted string is not closed");
    }

    std::uint32_t dword(const std::string& digits) const {
        if (digits.empty() || digits.size() > 8)
            fail("a dword is not 1 to 8 hexadecimal digits");
        std::uint32_t number = 0;
        for (char c : digits) {
            const int digit = hexDigit(c);
            if (digit < 0)
                fail("a dword is not 1 to 8 hexadecimal digits");
            number = number << 4 | static_cast<std::uint32_t>(digit);
        }
        return number;
    }

    std::uint32_t hexType(const std::string& line, std::size_t& pos) const {
        std::uint32_t type = 3; // plain "hex:" is binary data
        if (startsWith(line, pos, "(")) {
            const std::size_t close = line.find(')', pos);
            if (close == std::string::npos)
                fail("a hex type is not closed");
            type = dword(line.substr(pos + 1, close - pos - 1));
            pos = close + 1;
        }
        if (!startsWith(line, pos, ":"))
            fail("hex data without ':'");
        ++pos;
        return type;
    }

    /// Text data of a file without UTF-16, as `reg import` reads it: windows-1252 bytes, given a
    /// terminating NUL when they end without one, made UTF-16 as the registry holds text.
    static std::string importedText(std::string bytes) {
        if (!bytes.empty() && bytes.back() != '\0')
            bytes += '\0';
        return text::windows1252ToUtf16le(bytes);
    }

    /// The bytes of hex data, following continued lines; adds those lines to `source`.
    std::string hexBytes(std::string text, std::string& source) {
        while (!text.empty() && text.back() == '\\') {
            text.pop_back();
            if (++index_ == lines_.size())
                fail("hex data continues past the end of the file");
            source += lines_[index_] + lineEnd;
            text += trimmed(lines_[index_]);
        }
        std::string bytes;
        std::size_t pos = 0;
        while (pos < text.size()) {
            const std::size_t comma = text.find(',', pos);
            const std::string item = trimmed(
                text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
            if (item.size() != 2 || hexDigit(item[0]) < 0 || hexDigit(item[1]) < 0)
                fail("hex data holds something other than two-digit bytes");
            bytes += static_cast<char>(hexDigit(item[0]) << 4 | hexDigit(item[1]));
            if (comma == std::string::npos)
                break;
            pos = comma + 1;
        }
        return bytes;
    }

    std::vector<std::string> lines_;
    KeyTree& tree_;
    FileText& text_;
    std::size_t index_ = 0;
    Key* current_ = nullptr;
    std::string pendingComments_;
};

} // namespace

void readRegFile(const std::string& bytes, KeyTree& tree, FileText& text) {
    Parser(splitLines(decodeFile(bytes, text.encoding)), tree, text).parse();
}

} // namespace modRegistryUpdate::store
