#pragma once

#include "platform/posix/reg_store.h"

#include <functional>
#include <memory>
#include <string>

namespace modRegistryUpdate::posix {

/// The name of the file that stands for HKEY_LOCAL_MACHINE, beside the program.
extern const char* const storeFileName;

/// The registry store file of one run: read and locked at first use, so that runs at once
/// take turns instead of losing each other's writes, and saved whole at the end.
class StoreFile {
public:
    explicit StoreFile(std::function<std::string()> locate);
    ~StoreFile();
    StoreFile(const StoreFile&) = delete;
    StoreFile& operator=(const StoreFile&) = delete;

    /// The store, read at the first call; null when it cannot be used (see `problem`).
    RegStore* store();
    /// Why the store cannot be used, naming the file and the line.
    const std::string& problem() const { return problem_; }
    /// Notes that the store differs from the file, so that `save` writes it.
    void markChanged() { changed_ = true; }
    /// Writes a changed store beside the old file and renames it into place, so that the file
    /// is always whole. Returns false with a description when that fails.
    bool save(std::string& failure);
    /// The file's path, once known.
    const std::string& path() const { return path_; }

private:
    void load();

    std::function<std::string()> locate_;
    std::string path_;
    std::unique_ptr<RegStore> store_;
    std::string problem_;
    bool loaded_ = false;
    bool changed_ = false;
    int lockFd_ = -1;
};

} // namespace modRegistryUpdate::posix
