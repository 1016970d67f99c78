#pragma once

#include "store/store.h"

#include <functional>
#include <string>

namespace modRegistryUpdate::store {

/// The name of the file that stands for HKEY_LOCAL_MACHINE, beside the Linux program.
extern const char* const storeFileName;

/// The Linux program's store file. A run reads it when it first needs it and holds an exclusive
/// lock on the companion file <path>.lock until it ends, so that runs at once take turns instead
/// of losing each other's writes. A changed store is written whole to <path>.new, flushed and
/// renamed over the old file: the file is always either the old store or the new one.
class LockedStoreFile : public StoreFile {
public:
    /// `locate` gives the file's path when it is first read.
    explicit LockedStoreFile(std::function<std::string()> locate);
    ~LockedStoreFile() override;
    LockedStoreFile(const LockedStoreFile&) = delete;
    LockedStoreFile& operator=(const LockedStoreFile&) = delete;

    std::string read() override;
    void replace(const FileText& text) override;
    const std::string& path() const override { return path_; }

private:
    std::function<std::string()> locate_;
    std::string path_;
    int lockFd_ = -1;
};

} // namespace modRegistryUpdate::store
