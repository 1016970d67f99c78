#pragma once

#include <memory>
#include <string>

namespace modRegistryUpdate {

/// An 8-bit text file written one line at a time.
class TextLog {
public:
    virtual ~TextLog() = default;

    /// Writes the text and a line end (CR LF), so that it is in the file even if the process
    /// ends without closing the log. A failing write raises a Failure.
    virtual void writeLine(const std::string& text) = 0;
    /// Closes the file. A failing close raises a Failure.
    virtual void close() = 0;
};

/// Creates text logs.
class TextLogFactory {
public:
    virtual ~TextLogFactory() = default;

    /// Creates the file anew, truncating an existing one. A failure raises a Failure.
    virtual std::unique_ptr<TextLog> createTextFile(const std::string& path) = 0;
};

} // namespace modRegistryUpdate
