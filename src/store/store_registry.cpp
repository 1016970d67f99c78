#include "store/store_registry.h"

#include "text/unicode_text.h"

namespace modRegistryUpdate::store {
namespace {

constexpr std::size_t longestKeyName = 255;
constexpr std::size_t longestValueName = 16383;
constexpr std::size_t deepestKey = 512; // levels below the root

/// A status with Windows' own message for its code, so that both builds' lines read alike.
RegistryStatus statusOf(long code) {
    switch (code) {
    case registrySuccess:
        return {};
    case registryFileNotFound:
        return {code, "The system cannot find the file specified."};
    case registryInvalidParameter:
        return {code, "The parameter is incorrect."};
    case registryBadPathName:
        return {code, "The specified path is invalid."};
    default:
        return {code, "Registry error " + std::to_string(code) + "."};
    }
}

/// Checks a key path as Windows' registry does (Wine's sets no depth limit); a line break could
/// not be kept on the file's section line.
long checkPath(const std::string& path) {
    if (!path.empty() && path[0] == '\\')
        return registryBadPathName;
    if (path.find_first_of("\r\n") != std::string::npos)
        return registryInvalidParameter;
    // No name of fewer bytes can be over the limit, so most paths are never measured.
    std::size_t depth = 0;
    const bool namesFit = forEachSegment(path, [&depth](std::string_view segment) {
        return ++depth <= deepestKey &&
               (segment.size() <= longestKeyName || text::utf16Length(segment) <= longestKeyName);
    });
    return namesFit ? registrySuccess : registryInvalidParameter;
}

/// A key of the store; the store outlives the run's keys, so there is nothing to close.
class StoreKey : public RegistryKey {
public:
    StoreKey(Store& file, Key& key) : file_(file), key_(key) {}

    RegistryStatus setText(const std::string& valueName, const std::string& text) override {
        if (valueName.size() > longestValueName && text::utf16Length(valueName) > longestValueName)
            return statusOf(registryInvalidParameter);
        Value value;
        value.name = valueName;
        value.data = text;
        // The key is open, so the store's keys were read.
        file_.setValue(key_, value);
        return {};
    }

private:
    Store& file_;
    Key& key_;
};

} // namespace

OpenedKey StoreRegistry::createKey(RegistryRoot, const std::string& path) {
    return resolveKey(path, true);
}

OpenedKey StoreRegistry::openKey(RegistryRoot, const std::string& path) {
    return resolveKey(path, false);
}

OpenedKey StoreRegistry::resolveKey(const std::string& path, bool create) {
    Key* found = nullptr;
    try {
        // The key just opened again, as for every value written into it: its path passed the
        // checks.
        if (Key* same = file_.repeatedKey(path))
            return {{}, std::make_unique<StoreKey>(file_, *same)};
        if (const long code = checkPath(path); code != registrySuccess)
            return {statusOf(code), nullptr};
        found = create ? &file_.createKey(path) : file_.openKey(path);
    } catch (const StoreError& failure) {
        // Every operation of a run whose store cannot be read fails with the reason.
        return {{registryBadDatabase, failure.what()}, nullptr};
    }
    if (!found)
        return {statusOf(registryFileNotFound), nullptr};
    return {{}, std::make_unique<StoreKey>(file_, *found)};
}

RegistryStatus StoreRegistry::saveChanges() {
    try {
        file_.save();
        return {};
    } catch (const StoreError& failure) {
        return {registryIoFailed, failure.what()};
    }
}

} // namespace modRegistryUpdate::store
