#pragma once

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace modRegistryUpdate::store {

/// Every failure inside the store, raised where it happens: its text is the whole description,
/// naming the file and, for text that cannot be read, the line.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The failure of the system call that just set errno: `what`, then the system's message.
inline StoreError systemError(const std::string& what) {
    return StoreError(what + ": " + std::strerror(errno));
}

} // namespace modRegistryUpdate::store
