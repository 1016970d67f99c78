#include "platform/windows/runtime.h"

#include "platform/windows/wide_text.h"
#include "run/failure.h"

#include <windows.h>

namespace modRegistryUpdate::windows {
namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

/// The argument text of a command line: what follows the program's name (a quoted name ends at
/// its closing quote) and the blanks after it. One pair of quotes around it all is removed, so
/// that a quoted path with blanks is the path.
std::wstring argumentTextOf(const std::wstring& commandLine) {
    std::size_t pos = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const std::size_t close = commandLine.find(L'"', 1);
        pos = close == std::wstring::npos ? commandLine.size() : close + 1;
    }
    while (pos < commandLine.size() && !isBlank(commandLine[pos]))
        ++pos;
    while (pos < commandLine.size() && isBlank(commandLine[pos]))
        ++pos;
    std::wstring text = commandLine.substr(pos);
    std::size_t end = text.size();
    while (end > 0 && isBlank(text[end - 1]))
        --end;
    if (end >= 2 && text[0] == L'"' && text[end - 1] == L'"')
        return text.substr(1, end - 2);
    return text;
}

} // namespace

std::string WinRuntime::pathBesideProgram(const std::string& fileName) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            throw Failure(systemMessage(GetLastError()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    // The folder keeps its final backslash, so a drive's root joins as "C:\name".
    return toUtf8(path.substr(0, path.find_last_of(L'\\') + 1)) + fileName;
}

std::string WinRuntime::argumentText() {
    const wchar_t* commandLine = GetCommandLineW();
    return toUtf8(argumentTextOf(commandLine ? commandLine : L""));
}

std::string WinRuntime::upperCase(const std::string& text) {
    std::wstring wide = toWide(text);
    if (!wide.empty())
        CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return toUtf8(wide);
}

void WinRuntime::reportWithoutLog(const std::string& line) {
    // A windowless program has no console; a debugger attached to it still hears this.
    OutputDebugStringW(toWide(line + "\n").c_str());
}

} // namespace modRegistryUpdate::windows
