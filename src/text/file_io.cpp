#include "text/file_io.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace modRegistryUpdate::text {

OwnedFd::~OwnedFd() {
    if (fd_ >= 0)
        close(fd_);
}

std::optional<RegularFile> openRegularFile(const std::string& path) {
    OwnedFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat status {};
    if (fd.get() < 0 || fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return RegularFile{std::move(fd), static_cast<std::size_t>(status.st_size)};
}

long readSome(int fd, char* buffer, std::size_t length) {
    ssize_t count;
    do
        count = read(fd, buffer, length);
    while (count < 0 && errno == EINTR);
    return static_cast<long>(count);
}

bool readAll(int fd, std::string& bytes) {
    char buffer[1 << 16];
    for (;;) {
        const long got = readSome(fd, buffer, sizeof buffer);
        if (got <= 0)
            return got == 0;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

bool writeAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote < 0)
            return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

} // namespace modRegistryUpdate::text
