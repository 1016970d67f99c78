#pragma once

#include <string>
#include <string_view>

namespace modRegistryUpdate::preview {

/// Reads the whole file at this UTF-8 path into `bytes`. Returns false, with `error` saying why,
/// when it cannot.
bool readWholeFile(const std::string& path, std::string& bytes, std::string& error);

/// Writes the bytes as the whole file at this UTF-8 path, created or truncated. Returns false,
/// with `error` saying why, when it cannot.
bool writeWholeFile(const std::string& path, std::string_view bytes, std::string& error);

/// Whether the two UTF-8 paths name one existing file.
bool isSameFile(const std::string& one, const std::string& other);

} // namespace modRegistryUpdate::preview
