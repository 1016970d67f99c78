#pragma once

#include "platform/runtime.h"

#include <string>
#include <vector>

namespace modRegistryUpdate::posix {

/// The process as Linux shows it: the program's folder from /proc/self/exe, the arguments
/// joined by single blanks, UTF-8 text.
class PosixRuntime : public Runtime {
public:
    PosixRuntime(int argc, char** argv) : arguments_(argv + (argc > 0 ? 1 : 0), argv + argc) {}

    std::string pathBesideProgram(const std::string& fileName) override;
    std::string argumentText() override;
    std::string upperCase(const std::string& text) override;
    void reportWithoutLog(const std::string& line) override;

private:
    std::vector<std::string> arguments_;
};

} // namespace modRegistryUpdate::posix
