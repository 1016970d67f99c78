#include "platform/posix/registry.h"

#include "store/unicode_text.h"

namespace modRegistryUpdate::posix {
namespace {

constexpr std::size_t longestKeyName = 255;
constexpr std::size_t longestValueName = 16383;
constexpr std::size_t deepestKey = 512; // levels below the root

bool holdsLineBreak(const std::string& text) {
    return text.find('\n') != std::string::npos || text.find('\r') != std::string::npos;
}

/// Checks a key path as Windows' registry does (Wine's sets no depth limit); a line break could
/// not be kept in the file.
RegistryStatus checkPath(const std::string& path) {
    if (!path.empty() && path[0] == '\\')
        return registryBadPathName;
    if (holdsLineBreak(path))
        return registryInvalidParameter;
    // No name of fewer bytes can be over the limit, so most paths are never measured.
    std::size_t depth = 0;
    const bool namesFit = store::forEachSegment(path, [&depth](std::string_view segment) {
        return ++depth <= deepestKey &&
               (segment.size() <= longestKeyName || store::utf16Length(segment) <= longestKeyName);
    });
    return namesFit ? registrySuccess : registryInvalidParameter;
}

store::Key& keyAt(RegistryKey key) {
    return *reinterpret_cast<store::Key*>(key);
}

RegistryKey handleOf(store::Key& key) {
    return reinterpret_cast<RegistryKey>(&key);
}

} // namespace

store::KeyTree* StoreRegistry::tree() {
    try {
        return &file_.tree();
    } catch (const store::StoreError& failure) {
        loadFailure_ = failure.what();
        return nullptr;
    }
}

RegistryStatus StoreRegistry::createKey(RegistryRoot, const std::string& path, RegistryKey& key) {
    return resolveKey(path, true, key);
}

RegistryStatus StoreRegistry::openKey(RegistryRoot, const std::string& path, RegistryKey& key) {
    return resolveKey(path, false, key);
}

RegistryStatus StoreRegistry::resolveKey(const std::string& path, bool create, RegistryKey& key) {
    store::KeyTree* keys = tree();
    if (!keys)
        return registryBadDatabase;
    // The key just opened again, as for every value written into it: its path passed the checks.
    if (store::Key* same = paths_.repeated(path)) {
        key = handleOf(*same);
        return registrySuccess;
    }
    if (const RegistryStatus status = checkPath(path); status != registrySuccess)
        return status;
    bool created = false;
    store::Key* found = paths_.resolve(*keys, path, create, created);
    if (!found)
        return registryFileNotFound;
    if (created)
        file_.markChanged();
    key = handleOf(*found);
    return registrySuccess;
}

RegistryStatus StoreRegistry::setTextValue(RegistryKey key, const std::string& valueName,
                                           const std::string& text) {
    store::KeyTree* keys = tree();
    if (!keys)
        return registryBadDatabase;
    if (key == 0)
        return registryInvalidHandle;
    if ((valueName.size() > longestValueName && store::utf16Length(valueName) > longestValueName) ||
        holdsLineBreak(valueName))
        return registryInvalidParameter;
    store::Value value;
    value.name = valueName;
    value.data = text;
    store::Key& target = keyAt(key);
    if (keys->putValue(target, value)) {
        keys->addSection(target);
        file_.markChanged();
    }
    return registrySuccess;
}

std::string StoreRegistry::describe(RegistryStatus status) const {
    switch (status) {
    case registrySuccess:
        return "The operation completed successfully.";
    case registryFileNotFound:
        return "The system cannot find the file specified.";
    case registryInvalidHandle:
        return "The handle is invalid.";
    case registryInvalidParameter:
        return "The parameter is incorrect.";
    case registryBadPathName:
        return "The specified path is invalid.";
    case registryBadDatabase:
        return loadFailure_;
    case registryIoFailed:
        return saveFailure_;
    default:
        return "Registry error " + std::to_string(status) + ".";
    }
}

RegistryStatus StoreRegistry::saveChanges() {
    try {
        file_.save();
        return registrySuccess;
    } catch (const store::StoreError& failure) {
        saveFailure_ = failure.what();
        return registryIoFailed;
    }
}

} // namespace modRegistryUpdate::posix
