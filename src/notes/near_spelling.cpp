#include "notes/near_spelling.h"

#include <algorithm>
#include <cstddef>

namespace modRegistryUpdate {
namespace {

constexpr std::size_t longestQuoted = 60;
// Longer names are compared only as folded text: weighing their edits would cost too much.
constexpr std::size_t longestWeighed = 64;

char foldedAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

/// The name without blanks at its ends, ASCII letters in upper case.
std::string folded(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    std::string result = text.substr(first, text.find_last_not_of(' ') - first + 1);
    std::transform(result.begin(), result.end(), result.begin(), foldedAscii);
    return result;
}

std::size_t editDistance(const std::string& one, const std::string& other) {
    return editsToPart(one, other, true, true);
}

/// Whether folded names are near, `edits` apart: a few edits for their length, and fewer than
/// the shorter has characters, so that a short name is not near every other short name.
bool nearByEdits(const std::string& a, const std::string& b, std::size_t edits) {
    return edits == 0 || (edits <= nearEdits(std::max(a.size(), b.size())) &&
                          edits < std::min(a.size(), b.size()));
}

} // namespace

std::string quoted(const std::string& text) {
    std::string shown = "\"";
    std::size_t characters = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool continues = (byte & 0xC0) == 0x80;
        if (!continues && characters++ == longestQuoted)
            return shown + "...\"";
        shown += byte < 0x20 || byte == 0x7F ? '?' : c;
    }
    return shown + "\"";
}

std::size_t nearEdits(std::size_t length) {
    return std::clamp<std::size_t>(length / 4, 1, 3);
}

std::size_t editsToPart(const std::string& pattern, const std::string& text, bool atStart,
                        bool atEnd) {
    // One row of the edit table per character of the pattern; a free start costs nothing to skip
    // text, a free end takes the best column of the last row.
    std::vector<std::size_t> row(text.size() + 1);
    for (std::size_t j = 0; j < row.size(); ++j)
        row[j] = atStart ? j : 0;
    for (const char p : pattern) {
        std::size_t diagonal = row[0];
        row[0] += 1;
        for (std::size_t j = 1; j < row.size(); ++j) {
            const std::size_t replaced =
                diagonal + (foldedAscii(p) == foldedAscii(text[j - 1]) ? 0 : 1);
            diagonal = row[j];
            row[j] = std::min({replaced, row[j] + 1, row[j - 1] + 1});
        }
    }
    return atEnd ? row.back() : *std::min_element(row.begin(), row.end());
}

std::optional<std::string> nearestSpelling(const std::string& text,
                                           const std::vector<std::string>& candidates,
                                           std::size_t& budget) {
    const std::string a = folded(text);
    std::optional<std::string> nearest;
    std::size_t fewest = 0;
    for (const std::string& candidate : candidates) {
        if (candidate == text)
            continue;
        const std::string b = folded(candidate);
        std::size_t edits = a == b ? 0 : std::string::npos;
        if (edits != 0 && budget > 0 && a.size() <= longestWeighed && b.size() <= longestWeighed) {
            --budget;
            edits = editDistance(a, b);
        }
        if (edits != std::string::npos && nearByEdits(a, b, edits) &&
            (!nearest || edits < fewest)) {
            nearest = candidate;
            fewest = edits;
        }
    }
    return nearest;
}

} // namespace modRegistryUpdate
