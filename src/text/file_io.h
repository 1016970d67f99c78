#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace modRegistryUpdate::text {

/// An open file descriptor, closed when its owner goes.
class OwnedFd {
public:
    explicit OwnedFd(int fd) noexcept : fd_(fd) {}
    ~OwnedFd();
    OwnedFd(OwnedFd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    OwnedFd& operator=(OwnedFd&&) = delete;
    OwnedFd(const OwnedFd&) = delete;
    OwnedFd& operator=(const OwnedFd&) = delete;

    int get() const { return fd_; }

private:
    int fd_;
};

/// A regular file open for reading, with the size it had when it was opened.
struct RegularFile {
    OwnedFd fd;
    std::size_t size;
};

/// Opens the regular file at `path` for reading, without blocking, so that a named pipe with no
/// writer cannot hold the open. None for a directory, a device, a pipe, or a file that cannot be
/// opened.
std::optional<RegularFile> openRegularFile(const std::string& path);

/// One read of up to `length` bytes, tried again when a signal interrupts it: the count read, 0
/// at the end, or -1 with errno telling why.
long readSome(int fd, char* buffer, std::size_t length);

/// Appends the file's bytes from its current position to its end. Returns false, errno telling
/// why, when a read fails.
bool readAll(int fd, std::string& bytes);

/// Writes all the bytes, however many calls that takes. Returns false, errno telling why, when a
/// write fails.
bool writeAll(int fd, std::string_view bytes);

} // namespace modRegistryUpdate::text
