#pragma once

#include "store/file_text.h"
#include "store/key_tree.h"

#include <functional>
#include <string>
#include <string_view>

namespace modRegistryUpdate::store {

// Text data written as bytes (hex(1), hex(2), hex(7)) is UTF-16LE in a UTF-16 file and
// windows-1252 in a UTF-8 one, as `reg import` reads a file without a byte-order mark; in the
// tree it is UTF-16LE, as the registry holds it.

/// Reads a registry export of HKEY_LOCAL_MACHINE, UTF-8 or UTF-16LE with a byte-order mark,
/// into an empty tree, and how the file stood into `text`. An empty file is an empty registry.
/// Text that cannot be read raises a StoreError naming the line where the fault stands.
void readRegFile(const std::string& bytes, KeyTree& tree, FileText& text);

/// The keys with a section in `text`, as a registry export file handed to `write` piece by piece:
/// in the encoding of `text`, CRLF line ends. What was read and not changed since is written back
/// as it was read.
void writeRegFile(const FileText& text, const std::function<void(std::string_view)>& write);

/// Whether a file in this encoding holds the value so that `reg import` reads it as meant: text
/// with a control character is written as bytes, which a UTF-8 file holds in windows-1252 only.
bool holdsValue(Encoding encoding, const Value& value);

} // namespace modRegistryUpdate::store
