#pragma once

#include <string>
#include <string_view>

namespace modRegistryUpdate::store {

/// Reads the file from its current position to its end. A failure raises a StoreError that
/// starts with `what`.
std::string readAll(int fd, const std::string& what);

/// Writes all the bytes, however many calls that takes. A failure raises a StoreError that
/// starts with `what`.
void writeAll(int fd, std::string_view bytes, const std::string& what);

} // namespace modRegistryUpdate::store
