#include "platform/windows/text_log.h"

#include "platform/windows/wide_text.h"
#include "run/failure.h"

#include <memory>
#include <windows.h>

namespace modRegistryUpdate::windows {
namespace {

struct CloseFile {
    void operator()(HANDLE file) const { CloseHandle(file); }
};
using OwnedFile = std::unique_ptr<void, CloseFile>;

class WinTextLog : public TextLog {
public:
    explicit WinTextLog(OwnedFile file) : file_(std::move(file)) {}

    // Each line goes straight to the file, so it is there however the process ends.
    void writeLine(const std::string& text) override {
        const std::wstring wide = toWide(text + "\r\n");
        const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                             nullptr, 0, nullptr, nullptr);
        std::string line(static_cast<std::size_t>(size), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), line.data(),
                            size, nullptr, nullptr);
        DWORD written = 0;
        if (!WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written,
                       nullptr) ||
            written != line.size())
            throw Failure(systemMessage(GetLastError()));
    }

    // Closed here rather than by the owner, so that a failing close is reported.
    void close() override {
        const HANDLE file = file_.release();
        if (file && !CloseHandle(file))
            throw Failure(systemMessage(GetLastError()));
    }

private:
    OwnedFile file_;
};

} // namespace

std::unique_ptr<TextLog> WinTextLogFactory::createTextFile(const std::string& path) {
    const HANDLE file = CreateFileW(toWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw Failure(systemMessage(GetLastError()));
    return std::make_unique<WinTextLog>(OwnedFile(file));
}

} // namespace modRegistryUpdate::windows
