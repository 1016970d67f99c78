#pragma once

#include "store/key_tree.h"

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace modRegistryUpdate::store {

/// A registry file that cannot be read: `line` is where (1 for the file as a whole).
class RegFileError : public std::runtime_error {
public:
    RegFileError(std::size_t line, const std::string& message)
        : std::runtime_error("line " + std::to_string(line) + ": " + message), line(line) {}
    std::size_t line;
};

/// Reads a registry export of HKEY_LOCAL_MACHINE, UTF-8 or UTF-16LE with a byte-order mark,
/// into an empty store, noting the encoding. An empty file is an empty registry. Raises
/// RegFileError.
void readRegFile(const std::string& bytes, KeyTree& store);

/// The store as a registry export file, handed to `write` piece by piece: in the store's
/// encoding, CRLF line ends. What was read and not changed since is written back as it was read.
void writeRegFile(const KeyTree& store, const std::function<void(std::string_view)>& write);

} // namespace modRegistryUpdate::store
