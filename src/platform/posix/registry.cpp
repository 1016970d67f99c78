#include "platform/posix/registry.h"

#include "store/unicode_text.h"

namespace modRegistryUpdate::posix {
namespace {

// The registry's own status codes, so that lines read alike on every platform.
constexpr RegistryStatus fileNotFound = 2;
constexpr RegistryStatus invalidHandle = 6;
constexpr RegistryStatus invalidParameter = 87;
constexpr RegistryStatus badPathName = 161;
constexpr RegistryStatus badDatabase = 1009;
constexpr RegistryStatus ioFailed = 1016;

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
        return badPathName;
    if (holdsLineBreak(path))
        return invalidParameter;
    // No name of fewer bytes can be over the limit, so most paths are never measured.
    std::size_t depth = 0;
    const bool namesFit = store::forEachSegment(path, [&depth](std::string_view segment) {
        return ++depth <= deepestKey &&
               (segment.size() <= longestKeyName || store::utf16Length(segment) <= longestKeyName);
    });
    return namesFit ? registrySuccess : invalidParameter;
}

store::Key& keyAt(RegistryKey key) {
    return *reinterpret_cast<store::Key*>(key);
}

RegistryKey handleOf(store::Key& key) {
    return reinterpret_cast<RegistryKey>(&key);
}

} // namespace

RegistryStatus StoreRegistry::createKey(RegistryRoot, const std::string& path, RegistryKey& key) {
    return resolveKey(path, true, key);
}

RegistryStatus StoreRegistry::openKey(RegistryRoot, const std::string& path, RegistryKey& key) {
    return resolveKey(path, false, key);
}

RegistryStatus StoreRegistry::resolveKey(const std::string& path, bool create, RegistryKey& key) {
    store::KeyTree* store = file_.store();
    if (!store)
        return badDatabase;
    if (const RegistryStatus status = checkPath(path); status != registrySuccess)
        return status;
    bool created = false;
    store::Key* found = paths_.resolve(*store, path, create, created);
    if (!found)
        return fileNotFound;
    if (created)
        file_.markChanged();
    key = handleOf(*found);
    return registrySuccess;
}

RegistryStatus StoreRegistry::setTextValue(RegistryKey key, const std::string& valueName,
                                           const std::string& text) {
    store::KeyTree* store = file_.store();
    if (!store)
        return badDatabase;
    if (key == 0)
        return invalidHandle;
    if ((valueName.size() > longestValueName && store::utf16Length(valueName) > longestValueName) ||
        holdsLineBreak(valueName))
        return invalidParameter;
    store::Value value;
    value.name = valueName;
    value.data = text;
    store::Key& target = keyAt(key);
    if (store->putValue(target, std::move(value))) {
        store->addSection(target);
        file_.markChanged();
    }
    return registrySuccess;
}

std::string StoreRegistry::describe(RegistryStatus status) const {
    switch (status) {
    case registrySuccess:
        return "The operation completed successfully.";
    case fileNotFound:
        return "The system cannot find the file specified.";
    case invalidHandle:
        return "The handle is invalid.";
    case invalidParameter:
        return "The parameter is incorrect.";
    case badPathName:
        return "The specified path is invalid.";
    case badDatabase:
        return file_.problem();
    case ioFailed:
        return saveFailure_;
    default:
        return "Registry error " + std::to_string(status) + ".";
    }
}

RegistryStatus StoreRegistry::saveChanges() {
    return file_.save(saveFailure_) ? registrySuccess : ioFailed;
}

} // namespace modRegistryUpdate::posix
