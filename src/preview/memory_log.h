#pragma once

#include "platform/text_log.h"

#include <string>
#include <vector>

namespace modRegistryUpdate::preview {

/// Logs held in memory: every line written to any log the run creates, for the preview to print.
class MemoryTextLogFactory : public TextLogFactory {
public:
    std::unique_ptr<TextLog> createTextFile(const std::string& path) override;

    /// The lines written, without their line ends.
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

} // namespace modRegistryUpdate::preview
