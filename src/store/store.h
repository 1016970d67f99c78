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
// This header is all a user of the store sees: keys as handles, values (entries.h), failures
// (store_error.h). Behind it, key_tree.h holds the keys and values in memory (their texts in
// arena.h, values by name in an index once a key holds many); file_text.h keeps beside the tree,
// by the numbers the tree gives keys and values as it makes them, what only the file has: its
// encoding, the order of its sections, and the lines and comments read; reg_file.h reads and writes
// the file's text (reg_file.cpp and reg_writer.cpp); key_path_cache.h resolves the paths a run
// repeats. Names compare and convert by src/text/unicode_text.h, shared with the Linux runtime.
#pragma once

#include "store/entries.h"
#include "store/store_error.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace modRegistryUpdate::store {

/// The name of the file that stands for HKEY_LOCAL_MACHINE, beside the program.
extern const char* const storeFileName;

/// A key of the store, valid as long as the store.
class Key;

/// The registry store file of one run: read and locked at first use, so that runs at once
/// take turns instead of losing each other's writes, and saved whole at the end.
class Store {
public:
    explicit Store(std::function<std::string()> locate);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Keys are read and locked at the first call that needs them. A store that cannot be used
    // raises a StoreError naming the file (and the line), the same at every call.

    /// The key at this path (backslash-separated, empty segments ignored), or null when none.
    Key* findKey(std::string_view path);
    /// As `findKey`, remembering the path for `repeatedKey` and for the next path beside it.
    Key* openKey(std::string_view path);
    /// The key at this path, made with its missing parents, remembered as `openKey` does.
    Key& createKey(std::string_view path);
    /// The key the last `openKey` or `createKey` found, when `path` is that one's again; else
    /// null. A run opens one key for every value it writes.
    Key* repeatedKey(std::string_view path);
    /// The key's value of that name, or null.
    const Value* findValue(const Key& key, std::string_view name);
    /// Adds a copy of the value to the key, or replaces the data of one of the same name. Returns
    /// false, changing nothing, for a value the file cannot hold as the registry would
    /// (reg_file.h).
    bool setValue(Key& key, const Value& value);

    /// Writes changed keys beside the old file and renames it into place, so that the file is
    /// always whole. A failure raises a StoreError and leaves the old file as it was.
    void save();
    /// The file's path, once the keys were asked for.
    const std::string& path() const { return path_; }

private:
    struct Contents;

    /// The keys, read and locked at the first call.
    Contents& contents();
    void load();

    std::function<std::string()> locate_;
    std::string path_;
    std::unique_ptr<Contents> contents_;
    /// Why the keys could not be read; null while they were not asked for, or were read.
    std::exception_ptr loadFailure_;
    bool changed_ = false;
    int lockFd_ = -1;
};

} // namespace modRegistryUpdate::store
