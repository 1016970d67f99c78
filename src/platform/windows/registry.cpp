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
                  registryInvalidHandle == ERROR_INVALID_HANDLE &&
                  registryInvalidParameter == ERROR_INVALID_PARAMETER &&
                  registryBadPathName == ERROR_BAD_PATHNAME && registryBadDatabase == ERROR_BADDB &&
                  registryIoFailed == ERROR_REGISTRY_IO_FAILED,
              "the named statuses are the registry functions' own");

HKEY rootKey(RegistryRoot root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

} // namespace

RegistryStatus WinRegistry::createKey(RegistryRoot root, const std::string& path,
                                      RegistryKey& key) {
    HKEY created = nullptr;
    DWORD disposition = 0;
    const LONG status =
        RegCreateKeyExW(rootKey(root), toWide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        keyAccess, nullptr, &created, &disposition);
    if (status == ERROR_SUCCESS)
        key = reinterpret_cast<RegistryKey>(created);
    return status;
}

RegistryStatus WinRegistry::openKey(RegistryRoot root, const std::string& path, RegistryKey& key) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExW(rootKey(root), toWide(path).c_str(), 0, keyAccess, &opened);
    if (status == ERROR_SUCCESS)
        key = reinterpret_cast<RegistryKey>(opened);
    return status;
}

RegistryStatus WinRegistry::setTextValue(RegistryKey key, const std::string& valueName,
                                         const std::string& text) {
    const std::wstring data = toWide(text);
    // REG_SZ data is stored with its terminating NUL.
    return RegSetValueExW(reinterpret_cast<HKEY>(key), toWide(valueName).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

void WinRegistry::closeKey(RegistryKey key) {
    if (key != 0)
        RegCloseKey(reinterpret_cast<HKEY>(key));
}

std::string WinRegistry::describe(RegistryStatus status) const {
    return systemMessage(static_cast<unsigned long>(status));
}

} // namespace modRegistryUpdate::windows
