#pragma once

#include <string>

namespace modRegistryUpdate {

/// What the program learns of its own process and of the platform's text rules.
class Runtime {
public:
    virtual ~Runtime() = default;

    /// The path of a file with this name in the folder that holds the program. A failure
    /// raises a Failure.
    virtual std::string pathBesideProgram(const std::string& fileName) = 0;
    /// The text that follows the program's name on its command line; empty when there is
    /// none. A failure raises a Failure.
    virtual std::string argumentText() = 0;
    /// The text in upper case, by the platform's mapping.
    virtual std::string upperCase(const std::string& text) = 0;
    /// Reports a line where no log exists to take it.
    virtual void reportWithoutLog(const std::string& line) = 0;
};

} // namespace modRegistryUpdate
