#pragma once

#include "platform/runtime.h"

namespace modRegistryUpdate::windows {

/// The process as Windows shows it: the program's path, its own command line, the system's
/// Unicode upper-case mapping.
class WinRuntime : public Runtime {
public:
    std::string pathBesideProgram(const std::string& fileName) override;
    std::string argumentText() override;
    std::string upperCase(const std::string& text) override;
    void reportWithoutLog(const std::string& line) override;
};

/// The argument text of a command line: what follows the program's name (a quoted name ends at
/// its closing quote) and the blanks after it. One pair of quotes around it all is removed, so
/// that a quoted path with blanks is the path.
std::wstring argumentTextOf(const std::wstring& commandLine);

} // namespace modRegistryUpdate::windows
