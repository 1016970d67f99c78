#include "preview/memory_log.h"

namespace modRegistryUpdate::preview {
namespace {

class MemoryTextLog : public TextLog {
public:
    explicit MemoryTextLog(std::vector<std::string>& lines) : lines_(lines) {}

    void writeLine(const std::string& text) override { lines_.push_back(text); }
    void close() override {}

private:
    std::vector<std::string>& lines_;
};

} // namespace

std::unique_ptr<TextLog> MemoryTextLogFactory::createTextFile(const std::string&) {
    // A run creates its log once; a log created anew starts empty, as the file would.
    lines_.clear();
    return std::make_unique<MemoryTextLog>(lines_);
}

} // namespace modRegistryUpdate::preview
