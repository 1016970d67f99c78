#include "text/file_io.h"

#include <cerrno>
#include <unistd.h>

namespace modRegistryUpdate::text {

bool readAll(int fd, std::string& bytes) {
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
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
