// The registry stand-in: HKEY_LOCAL_MACHINE held in memory as the keys of a registry export, in
// its syntax: a header line, `[HKEY_LOCAL_MACHINE\...]` sections, `"name"="text"`, `@=` for a
// default value, `dword:`, `hex:` and `hex(N):` data, CR LF line ends. It is read from UTF-16LE
// with a byte-order mark (what an export on Windows writes) or from UTF-8, and written back in
// the encoding it was read in; what a run did not touch, comments included, is written back as
// it was read.
//
// The store is the same on every build: the Linux program keeps it in the file beside the
// program (locked_file.h, which only that program builds), the preview in memory. A file hands
// the store its bytes when the keys are first needed and takes the whole text back when a run
// saves (StoreFile); store_registry.h gives the store the registry's rules for names and paths.
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
#include "store/file_text.h"
#include "store/store_error.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace modRegistryUpdate::store {

/// A key of the store, valid as long as the store.
class Key;

/// Where a store's text is kept between runs.
class StoreFile {
public:
    virtual ~StoreFile() = default;

    /// Takes the file for this run and reads it: its bytes, empty when there is none. Raises a
    /// StoreError naming the file.
    virtual std::string read() = 0;
    /// Replaces the file's text with this one, whole. Raises a StoreError and leaves the old file
    /// as it was.
    virtual void replace(const FileText& text) = 0;
    /// Names the file, once it was read.
    virtual const std::string& path() const = 0;
};

/// The keys of one run: read from their file at first use and handed back whole when saved.
class Store {
public:
    explicit Store(StoreFile& file);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Keys are read at the first call that needs them. A store that cannot be read raises a
    // StoreError naming the file (and the line), the same at every call.

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

    /// Hands changed keys to the file. A failure raises a StoreError and leaves the old file as
    /// it was.
    void save();
    /// Holds values from now on as a file in this encoding can, whatever file the keys came
    /// from: a registry kept in memory and exported as UTF-16 holds all the registry holds.
    void holdAs(Encoding encoding);
    /// Every key, as a registry export in this encoding handed to `write` piece by piece.
    void exportKeys(Encoding encoding, const std::function<void(std::string_view)>& write);
    /// The file's path, once the keys were asked for.
    const std::string& path() const { return file_.path(); }

private:
    struct Contents;

    /// The keys, read at the first call.
    Contents& contents();

    StoreFile& file_;
    std::unique_ptr<Contents> contents_;
    /// Why the keys could not be read; null while they were not asked for, or were read.
    std::exception_ptr loadFailure_;
    bool changed_ = false;
};

} // namespace modRegistryUpdate::store
