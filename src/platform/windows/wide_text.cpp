#include "platform/windows/wide_text.h"

#include <memory>
#include <windows.h>

namespace modRegistryUpdate::windows {
namespace {

struct FreeLocal {
    void operator()(wchar_t* memory) const { LocalFree(memory); }
};

} // namespace

std::wstring toWide(const std::string& utf8) {
    if (utf8.empty())
        return std::wstring();
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string toUtf8(const std::wstring& wide) {
    if (wide.empty())
        return std::string();
    const int size = static_cast<int>(wide.size());
    std::string utf8(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), size,
                                                                  nullptr, 0, nullptr, nullptr)),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), static_cast<int>(utf8.size()),
                        nullptr, nullptr);
    return utf8;
}

std::string systemMessage(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const std::unique_ptr<wchar_t, FreeLocal> owned(buffer);
    std::wstring message(buffer ? buffer : L"", length);
    // A log line is one line: the message's own line ends become blanks, trailing ones go.
    for (wchar_t& c : message) {
        if (c == L'\r' || c == L'\n')
            c = L' ';
    }
    message.erase(message.find_last_not_of(L' ') + 1);
    if (message.empty()) {
        wchar_t code_text[32];
        wsprintfW(code_text, L"Error 0x%08lX", code);
        message = code_text;
    }
    return toUtf8(message);
}

} // namespace modRegistryUpdate::windows
