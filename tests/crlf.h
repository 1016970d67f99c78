#pragma once

#include <string>

/// The text with every LF preceded by CR, as registry files and the log end their lines.
inline std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}
