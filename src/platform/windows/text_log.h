#pragma once

#include "platform/text_log.h"

namespace modRegistryUpdate::windows {

/// Text files in the system's ANSI code page, each line ended by CR LF.
class WinTextLogFactory : public TextLogFactory {
public:
    std::unique_ptr<TextLog> createTextFile(const std::string& path) override;
};

} // namespace modRegistryUpdate::windows
