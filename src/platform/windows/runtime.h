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

} // namespace modRegistryUpdate::windows
