#include "platform/posix/text_log.h"

#include "run/failure.h"
#include "text/file_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace modRegistryUpdate::posix {
namespace {

class PosixTextLog : public TextLog {
public:
    PosixTextLog(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~PosixTextLog() override {
        if (fd_ >= 0)
            ::close(fd_);
    }

    // Each line goes straight to the file, so it is there however the process ends.
    void writeLine(const std::string& text) override {
        if (!text::writeAll(fd_, text + "\r\n"))
            throw Failure("Cannot write " + path_ + ": " + std::strerror(errno));
    }

    void close() override {
        const int fd = fd_;
        fd_ = -1;
        if (fd >= 0 && ::close(fd) != 0)
            throw Failure("Cannot close " + path_ + ": " + std::strerror(errno));
    }

private:
    int fd_;
    std::string path_;
};

} // namespace

std::unique_ptr<TextLog> PosixTextLogFactory::createTextFile(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw Failure("Cannot create " + path + ": " + std::strerror(errno));
    return std::make_unique<PosixTextLog>(fd, path);
}

} // namespace modRegistryUpdate::posix
