#include "platform/windows/registry.h"

#include "platform/windows/wide_text.h"

#include <windows.h>

namespace modRegistryUpdate::windows {
namespace {

// Not KEY_ALL_ACCESS, and no registry view, so a 32-bit program writes where 32-bit readers of
// the product look.
constexpr REGSAM keyAccess = KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY |
                             KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY | KEY_CREATE_LINK;
static_assert(keyAccess == 0x3F, "keys are opened with exactly these six rights");

static_assert(registryFileNotFound == ERROR_FILE_NOT_FOUND &&
                  registryAccessDenied == ERROR_ACCESS_DENIED &&
                  registryInvalidParameter == ERROR_INVALID_PARAMETER &&
                  registryBadPathName == ERROR_BAD_PATHNAME && registryBadDatabase == ERROR_BADDB &&
                  registryIoFailed == ERROR_REGISTRY_IO_FAILED,
              "the named codes are the registry functions' own");

RegistryStatus statusOf(LONG code) {
    if (code == ERROR_SUCCESS)
        return {};
    return {code, systemMessage(static_cast<unsigned long>(code))};
}

HKEY rootKey(RegistryRoot root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

/// An open key, closed with it.
class WinKey : public RegistryKey {
public:
    explicit WinKey(HKEY handle) : handle_(handle) {}
    ~WinKey() override { RegCloseKey(handle_); }

    RegistryStatus setText(const std::string& valueName, const std::string& text) override {
        const std::wstring data = toWide(text);
        // REG_SZ data is stored with its terminating NUL.
        return statusOf(RegSetValueExW(handle_, toWide(valueName).c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))));
    }

private:
    HKEY handle_;
};

OpenedKey opened(LONG code, HKEY handle) {
    if (code != ERROR_SUCCESS)
        return {statusOf(code), nullptr};
    return {{}, std::make_unique<WinKey>(handle)};
}

} // namespace

OpenedKey WinRegistry::createKey(RegistryRoot root, const std::string& path) {
    HKEY created = nullptr;
    DWORD disposition = 0;
    const LONG code =
        RegCreateKeyExW(rootKey(root), toWide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        keyAccess, nullptr, &created, &disposition);
    return opened(code, created);
}

OpenedKey WinRegistry::openKey(RegistryRoot root, const std::string& path) {
    HKEY handle = nullptr;
    const LONG code = RegOpenKeyExW(rootKey(root), toWide(path).c_str(), 0, keyAccess, &handle);
    return opened(code, handle);
}

} // namespace modRegistryUpdate::windows
