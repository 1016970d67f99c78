#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace modRegistryUpdate::store {

// What the store's keys hold and how their paths read, for the store's users and its parts alike.

constexpr std::uint32_t regSz = 1;
constexpr std::uint32_t regExpandSz = 2;
constexpr std::uint32_t regDword = 4;
constexpr std::uint32_t regMultiSz = 7;
constexpr std::uint32_t regQword = 11;

/// Whether values of the type hold text: REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ.
constexpr bool holdsText(std::uint32_t type) {
    return type == regSz || type == regExpandSz || type == regMultiSz;
}

/// How a value's data is held: text for REG_SZ written as a quoted string, a number for a
/// dword, raw bytes for everything else.
enum class DataForm { text, dword, bytes };

/// A value. One the store holds views the store's own texts; one handed to the store may view
/// any text, which the store copies.
struct Value {
    std::string_view name; ///< as first written; empty for the default value
    std::string_view data; ///< UTF-8 text, or the registry's bytes (text types in UTF-16LE)
    std::uint32_t type = regSz;
    std::uint32_t number = 0;
    DataForm form = DataForm::text;
};

/// Calls `visit` with each segment of a backslash-separated path, skipping empty ones, until it
/// returns false. Returns whether every segment was visited.
template <typename Visit> bool forEachSegment(std::string_view path, Visit visit) {
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start && !visit(path.substr(start, end - start)))
            return false;
        start = end + 1;
    }
    return true;
}

} // namespace modRegistryUpdate::store
