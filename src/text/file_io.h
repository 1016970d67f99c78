#pragma once

#include <string>
#include <string_view>

namespace modRegistryUpdate::text {

/// Appends the file's bytes from its current position to its end. Returns false, errno telling
/// why, when a read fails.
bool readAll(int fd, std::string& bytes);

/// Writes all the bytes, however many calls that takes. Returns false, errno telling why, when a
/// write fails.
bool writeAll(int fd, std::string_view bytes);

} // namespace modRegistryUpdate::text
