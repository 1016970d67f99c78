#include "store/store.h"

#include "store/file_io.h"
#include "store/reg_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace modRegistryUpdate::store {

const char* const storeFileName = "HKEY_LOCAL_MACHINE.reg";

namespace {

std::string systemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

Store::Store(std::function<std::string()> locate) : locate_(std::move(locate)) {}

Store::~Store() {
    if (lockFd_ >= 0)
        close(lockFd_);
}

KeyTree* Store::store() {
    if (!loaded_) {
        loaded_ = true;
        load();
    }
    return problem_.empty() ? store_.get() : nullptr;
}

void Store::load() {
    path_ = locate_();
    // A store that is a link is read and replaced where it points, so the link stays a link.
    struct stat link {};
    if (lstat(path_.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        char* target = realpath(path_.c_str(), nullptr);
        if (!target) {
            problem_ = systemError("Cannot follow the registry store link", path_);
            return;
        }
        path_ = target;
        std::free(target);
    }
    // A companion file carries the lock, so that a store that does not exist yet still locks.
    const std::string lockPath = path_ + ".lock";
    lockFd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lockFd_ < 0) {
        problem_ = systemError("Cannot lock the registry store with", lockPath);
        return;
    }
    while (flock(lockFd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            problem_ = systemError("Cannot lock the registry store with", lockPath);
            return;
        }
    }
    store_ = std::make_unique<KeyTree>();
    const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT)
            problem_ = systemError("Cannot read the registry store", path_);
        return;
    }
    std::string bytes;
    struct stat status {};
    if (fstat(fd, &status) == 0 && S_ISDIR(status.st_mode))
        problem_ = "The registry store " + path_ + " is a directory";
    else if (!readAll(fd, bytes))
        problem_ = systemError("Cannot read the registry store", path_);
    close(fd);
    if (!problem_.empty())
        return;
    try {
        readRegFile(bytes, *store_);
    } catch (const RegFileError& error) {
        problem_ = "The registry store " + path_ + " cannot be read: " + error.what();
    }
}

bool Store::save(std::string& failure) {
    // Only a store that was read can have changed.
    if (!changed_)
        return true;
    const std::string temporary = path_ + ".new";
    // The new file takes the old one's mode, and its owner and group where this run may give
    // them; until then it is private, so that a store only its owner reads never shows.
    struct stat old {};
    const bool replacing = stat(path_.c_str(), &old) == 0;
    // Under the lock no other run writes this name; one left by a killed run is overwritten.
    const int fd =
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, replacing ? 0600 : 0644);
    if (fd < 0) {
        failure = systemError("Cannot create", temporary);
        return false;
    }
    if (replacing) {
        // Only root gives a file away, but a user may give it one of their groups; where neither
        // is allowed the file stays this run's user's own.
        if (fchown(fd, old.st_uid, old.st_gid) != 0 && fchown(fd, -1, old.st_gid) != 0)
            errno = 0;
        fchmod(fd, old.st_mode & 07777);
    }
    bool written = true;
    writeRegFile(*store_,
                 [&](std::string_view piece) { written = written && writeAll(fd, piece); });
    written = written && fsync(fd) == 0;
    if (!written)
        failure = systemError("Cannot write", temporary);
    if (close(fd) != 0 && written) {
        failure = systemError("Cannot write", temporary);
        written = false;
    }
    if (written && rename(temporary.c_str(), path_.c_str()) != 0) {
        failure = systemError("Cannot replace", path_);
        written = false;
    }
    if (!written) {
        unlink(temporary.c_str());
        return false;
    }
    // The rename itself lasts only once the folder is on disk.
    const int folder = open(folderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    changed_ = false;
    return true;
}

} // namespace modRegistryUpdate::store
