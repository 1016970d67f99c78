#include "store/file_io.h"

#include "store/store_error.h"

#include <unistd.h>

namespace modRegistryUpdate::store {

std::string readAll(int fd, const std::string& what) {
    std::string bytes;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw systemError(what);
        if (got == 0)
            return bytes;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

void writeAll(int fd, std::string_view bytes, const std::string& what) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote < 0)
            throw systemError(what);
        done += static_cast<std::size_t>(wrote);
    }
}

} // namespace modRegistryUpdate::store
