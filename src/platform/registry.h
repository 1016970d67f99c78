#pragma once

#include <cstdint>
#include <string>

namespace modRegistryUpdate {

/// A registry status: 0 is success, anything else a platform error code.
using RegistryStatus = long;

// The statuses the program gives or tells apart, with the values of Windows' registry
// functions, so that every platform's lines read alike.
constexpr RegistryStatus registrySuccess = 0;
constexpr RegistryStatus registryFileNotFound = 2;
constexpr RegistryStatus registryAccessDenied = 5;
constexpr RegistryStatus registryInvalidHandle = 6;
constexpr RegistryStatus registryInvalidParameter = 87;
constexpr RegistryStatus registryBadPathName = 161;
constexpr RegistryStatus registryBadDatabase = 1009;
constexpr RegistryStatus registryIoFailed = 1016;

/// An open key; 0 is no key.
using RegistryKey = std::uintptr_t;

/// The predefined roots the program writes under.
enum class RegistryRoot : std::uint32_t { localMachine = 0x80000002u };

/// The registry: keys are paths relative to a root, with backslash separators.
class Registry {
public:
    virtual ~Registry() = default;

    /// Creates the key and any missing parents, or opens it if it exists. On failure `key`
    /// stays 0.
    virtual RegistryStatus createKey(RegistryRoot root, const std::string& path,
                                     RegistryKey& key) = 0;
    /// Opens an existing key for reading and writing values. On failure `key` stays 0.
    virtual RegistryStatus openKey(RegistryRoot root, const std::string& path,
                                   RegistryKey& key) = 0;
    /// Writes one text value; an empty name is the key's default value. Key 0 (a key that could
    /// not be opened) gives the invalid-handle status.
    virtual RegistryStatus setTextValue(RegistryKey key, const std::string& valueName,
                                        const std::string& text) = 0;
    /// Closes an open key; closing key 0 does nothing.
    virtual void closeKey(RegistryKey key) = 0;
    /// The platform's message for a status, on one line.
    virtual std::string describe(RegistryStatus status) const = 0;

    /// Makes the run's changes lasting. Where every write is already lasting this does nothing;
    /// on failure the previous content stays whole.
    virtual RegistryStatus saveChanges() = 0;
    /// Names where the changes are kept, for the line of a failed save.
    virtual std::string storeLocation() const = 0;
};

} // namespace modRegistryUpdate
