#pragma once

#include <string>
#include <string_view>

namespace modRegistryUpdate::store {

/// Reads the file from its current position to its end. False, with errno set, on failure.
bool readAll(int fd, std::string& bytes);

/// Writes all the bytes, however many calls that takes. False, with errno set, on failure.
bool writeAll(int fd, std::string_view bytes);

} // namespace modRegistryUpdate::store
