#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace modRegistryUpdate {

// The codes the program gives or tells apart, with the values of Windows' registry functions,
// so that every platform's lines read alike.
constexpr long registrySuccess = 0;
constexpr long registryFileNotFound = 2;
constexpr long registryAccessDenied = 5;
constexpr long registryInvalidParameter = 87;
constexpr long registryBadPathName = 161;
constexpr long registryBadDatabase = 1009;
constexpr long registryIoFailed = 1016;

/// What a registry operation came to: success, or a platform error code with the platform's
/// message for it, on one line.
class RegistryStatus {
public:
    RegistryStatus() = default;
    RegistryStatus(long code, std::string message) : code_(code), message_(std::move(message)) {}

    bool ok() const { return code_ == registrySuccess; }
    long code() const { return code_; }
    const std::string& message() const { return message_; }

private:
    long code_ = registrySuccess;
    std::string message_;
};

/// An open key, closed when it goes.
class RegistryKey {
public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    virtual ~RegistryKey() = default;

    /// Writes one text value; an empty name is the key's default value.
    virtual RegistryStatus setText(const std::string& valueName, const std::string& text) = 0;
};

/// A key that was created or opened, or why it could not be: `key` is null exactly when
/// `status` is a failure.
struct OpenedKey {
    RegistryStatus status;
    std::unique_ptr<RegistryKey> key;
};

/// The predefined roots the program writes under.
enum class RegistryRoot : std::uint32_t { localMachine = 0x80000002u };

/// The registry: keys are paths relative to a root, with backslash separators.
class Registry {
public:
    virtual ~Registry() = default;

    /// Creates the key and any missing parents, or opens it if it exists.
    virtual OpenedKey createKey(RegistryRoot root, const std::string& path) = 0;
    /// Opens an existing key for reading and writing values.
    virtual OpenedKey openKey(RegistryRoot root, const std::string& path) = 0;

    /// Makes the run's changes lasting. Where every write is already lasting this does nothing;
    /// on failure the previous content stays whole.
    virtual RegistryStatus saveChanges() = 0;
    /// Names where the changes are kept, for the line of a failed save.
    virtual std::string storeLocation() const = 0;
};

} // namespace modRegistryUpdate
