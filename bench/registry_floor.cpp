// registry_floor DEVICES FIRMWARES KEYS CATEGORIES ENTRIES SEED [VENDORS [PRODUCTS]]
// Makes exactly the registry calls RegistryUpdate makes for that generated document, and
// nothing else: a key created and closed for each key, a key opened, a value set and the key
// closed for each value, through the same wide functions. The floor a run cannot go below.

#include <cstdlib>
#include <string>
#include <windows.h>

#include "meter_generator.h"

namespace {

std::wstring wide(const std::string& utf8) {
    std::wstring text(static_cast<std::size_t>(MultiByteToWideChar(
                          CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(),
                        static_cast<int>(text.size()));
    return text;
}

constexpr REGSAM keyAccess = KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY |
                             KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY | KEY_CREATE_LINK;
static_assert(keyAccess == 0x3F, "the program's own key access");

} // namespace

int main(int argc, char** argv) {
    if (argc < 7 || argc > 9)
        return 2;
    bench::DocumentShape shape;
    shape.devices = std::atoi(argv[1]);
    shape.firmwares = std::atoi(argv[2]);
    shape.keys = std::atoi(argv[3]);
    shape.categories = std::atoi(argv[4]);
    shape.entries = std::atoi(argv[5]);
    shape.seed = static_cast<std::uint32_t>(std::strtoul(argv[6], nullptr, 10));
    if (argc > 7)
        shape.vendors = std::atoi(argv[7]);
    if (argc > 8)
        shape.products = std::atoi(argv[8]);
    bench::replayRegistryCalls(
        shape, {[](const std::string& key) {
                    HKEY created = nullptr;
                    DWORD disposition = 0;
                    RegCreateKeyExW(HKEY_LOCAL_MACHINE, wide(key).c_str(), 0, nullptr,
                                    REG_OPTION_NON_VOLATILE, keyAccess, nullptr, &created,
                                    &disposition);
                    RegCloseKey(created);
                },
                [](const std::string& key, const std::string& name, const std::string& data) {
                    HKEY opened = nullptr;
                    RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(key).c_str(), 0, keyAccess, &opened);
                    const std::wstring text = wide(data);
                    RegSetValueExW(opened, wide(name).c_str(), 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(text.c_str()),
                                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
                    RegCloseKey(opened);
                }});
    return 0;
}
