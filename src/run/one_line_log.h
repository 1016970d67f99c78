#pragma once

#include "platform/text_log.h"

#include <memory>

namespace modRegistryUpdate {

/// The run's error log, over the file the platform made: each line written stays one line of the
/// file, whatever names or text it quotes, with a carriage return or line feed written as the two
/// characters `\r` or `\n`, as a registry export writes them in a name.
class OneLineLog : public TextLog {
public:
    explicit OneLineLog(std::unique_ptr<TextLog> file) : file_(std::move(file)) {}

    void writeLine(const std::string& text) override;
    void close() override { file_->close(); }

private:
    std::unique_ptr<TextLog> file_;
};

} // namespace modRegistryUpdate
