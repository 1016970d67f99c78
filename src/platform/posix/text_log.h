#pragma once

#include "platform/text_log.h"

namespace modRegistryUpdate::posix {

/// Text files written as they are given (UTF-8), each line ended by CR LF.
class PosixTextLogFactory : public TextLogFactory {
public:
    std::unique_ptr<TextLog> createTextFile(const std::string& path) override;
};

} // namespace modRegistryUpdate::posix
