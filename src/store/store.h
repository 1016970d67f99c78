// The registry stand-in of the Linux program. HKEY_LOCAL_MACHINE is the file
// HKEY_LOCAL_MACHINE.reg beside the program, in the syntax of a registry export: a header line,
// `[HKEY_LOCAL_MACHINE\...]` sections, `"name"="text"`, `@=` for a default value, `dword:`,
// `hex:` and `hex(N):` data, CR LF line ends. It is read from UTF-16LE with a byte-order mark
// (what an export on Windows writes) or from UTF-8, and written back in the encoding it was read
// in; what a run did not touch, comments included, is written back as it was read.
//
// A run reads the file when it first needs it and holds an exclusive lock on the companion file
// HKEY_LOCAL_MACHINE.reg.lock until it ends, so runs at once take turns instead of losing each
// other's writes. A changed store is written whole to HKEY_LOCAL_MACHINE.reg.new, flushed and
// renamed over the old file: the file is always either the old store or the new one.
//
// key_tree.h holds the keys in memory (their texts in arena.h), reg_file.h reads and writes the
// text (reg_file.cpp and reg_writer.cpp), key_path_cache.h resolves the paths a run repeats,
// unicode_text.h compares and converts names.
#pragma once

#include "store/key_tree.h"
#include "store/store_error.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace modRegistryUpdate::store {

/// The name of the file that stands for HKEY_LOCAL_MACHINE, beside the program.
extern const char* const storeFileName;

/// The registry store file of one run: read and locked at first use, so that runs at once
/// take turns instead of losing each other's writes, and saved whole at the end.
class Store {
public:
    explicit Store(std::function<std::string()> locate);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    /// The keys, read and locked at the first call. A store that cannot be used raises a
    /// StoreError naming the file (and the line), the same at every call.
    KeyTree& tree();
    /// Notes that the keys differ from the file, so that `save` writes them.
    void markChanged() { changed_ = true; }
    /// Writes changed keys beside the old file and renames it into place, so that the file is
    /// always whole. A failure raises a StoreError and leaves the old file as it was.
    void save();
    /// The file's path, once the keys were asked for.
    const std::string& path() const { return path_; }

private:
    void load();

    std::function<std::string()> locate_;
    std::string path_;
    std::unique_ptr<KeyTree> tree_;
    std::optional<StoreError> loadFailure_;
    bool loaded_ = false;
    bool changed_ = false;
    int lockFd_ = -1;
};

} // namespace modRegistryUpdate::store
