#include "store/locked_file.h"

#include "store/reg_file.h"
#include "text/file_io.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace modRegistryUpdate::store {

const char* const storeFileName = "HKEY_LOCAL_MACHINE.reg";

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

/// Writes the keys to the open file and flushes them to disk.
void writeKeys(int fd, const std::string& file, const FileText& text) {
    const std::string failure = "Cannot write " + file;
    writeRegFile(text, [&](std::string_view piece) {
        if (!text::writeAll(fd, piece))
            throw systemError(failure);
    });
    if (fsync(fd) != 0)
        throw systemError(failure);
}

} // namespace

LockedStoreFile::LockedStoreFile(std::function<std::string()> locate)
    : locate_(std::move(locate)) {}

LockedStoreFile::~LockedStoreFile() {
    if (lockFd_ >= 0)
        close(lockFd_);
}

std::string LockedStoreFile::read() {
    path_ = locate_();
    // A store that is a link is read and replaced where it points, so the link stays a link.
    struct stat link {};
    if (lstat(path_.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        char* target = realpath(path_.c_str(), nullptr);
        if (!target)
            throw systemError("Cannot follow the registry store link " + path_);
        path_ = target;
        std::free(target);
    }
    // A companion file carries the lock, so that a store that does not exist yet still locks.
    const std::string lockPath = path_ + ".lock";
    lockFd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lockFd_ < 0)
        throw systemError("Cannot lock the registry store with " + lockPath);
    while (flock(lockFd_, LOCK_EX) != 0) {
        if (errno != EINTR)
            throw systemError("Cannot lock the registry store with " + lockPath);
    }
    std::string bytes;
    const text::OwnedFd fd(open(path_.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno != ENOENT)
            throw systemError("Cannot read the registry store " + path_);
        return bytes;
    }
    struct stat status {};
    if (fstat(fd.get(), &status) == 0 && S_ISDIR(status.st_mode))
        throw StoreError("The registry store " + path_ + " is a directory");
    if (!text::readAll(fd.get(), bytes))
        throw systemError("Cannot read the registry store " + path_);
    return bytes;
}

void LockedStoreFile::replace(const FileText& text) {
    const std::string temporary = path_ + ".new";
    // The new file takes the old one's mode, and its owner and group where this run may give
    // them; until then it is private, so that a store only its owner reads never shows.
    struct stat old {};
    const bool replacing = stat(path_.c_str(), &old) == 0;
    // Under the lock no other run writes this name; one left by a killed run is overwritten.
    const int fd =
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, replacing ? 0600 : 0644);
    if (fd < 0)
        throw systemError("Cannot create " + temporary);
    if (replacing) {
        // Only root gives a file away, but a user may give it one of their groups; where neither
        // is allowed the file stays this run's user's own.
        if (fchown(fd, old.st_uid, old.st_gid) != 0 && fchown(fd, -1, old.st_gid) != 0)
            errno = 0;
        fchmod(fd, old.st_mode & 07777);
    }
    try {
        writeKeys(fd, temporary, text);
    } catch (const StoreError&) {
        close(fd);
        unlink(temporary.c_str());
        throw;
    }
    const bool closed = close(fd) == 0;
    if (!closed || rename(temporary.c_str(), path_.c_str()) != 0) {
        // Described before the clean-up, which may change errno.
        const StoreError failure =
            systemError(closed ? "Cannot replace " + path_ : "Cannot write " + temporary);
        unlink(temporary.c_str());
        throw failure;
    }
    // The rename itself lasts only once the folder is on disk.
    const text::OwnedFd folder(open(folderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        fsync(folder.get());
}

} // namespace modRegistryUpdate::store
