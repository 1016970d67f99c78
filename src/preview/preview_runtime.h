#pragma once

#include "platform/runtime.h"

#include <ostream>

namespace modRegistryUpdate::preview {

/// The process as the run sees it in the preview: the document is the whole argument text, the
/// program's folder is nowhere (its log is held in memory), and text is upper-cased as the
/// platform's program does it.
class PreviewRuntime : public Runtime {
public:
    PreviewRuntime(Runtime& platform, std::string document, std::ostream& errors)
        : platform_(platform), document_(std::move(document)), errors_(errors) {}

    std::string pathBesideProgram(const std::string& fileName) override { return fileName; }
    std::string argumentText() override { return document_; }
    std::string upperCase(const std::string& text) override { return platform_.upperCase(text); }
    void reportWithoutLog(const std::string& line) override { errors_ << line << '\n'; }

private:
    Runtime& platform_;
    std::string document_;
    std::ostream& errors_;
};

} // namespace modRegistryUpdate::preview
