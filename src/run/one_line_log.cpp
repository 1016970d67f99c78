#include "run/one_line_log.h"

namespace modRegistryUpdate {

void OneLineLog::writeLine(const std::string& text) {
    if (text.find_first_of("\r\n") == std::string::npos) {
        file_->writeLine(text);
        return;
    }
    std::string line;
    for (const char c : text) {
        if (c == '\r')
            line += "\\r";
        else if (c == '\n')
            line += "\\n";
        else
            line += c;
    }
    file_->writeLine(line);
}

} // namespace modRegistryUpdate
