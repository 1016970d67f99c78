#include "platform/posix/runtime.h"

#include "run/failure.h"
#include "text/unicode_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace modRegistryUpdate::posix {

std::string PosixRuntime::pathBesideProgram(const std::string& fileName) {
    std::string program(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", program.data(), program.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= program.size())
        throw Failure(std::string("Cannot find the program's folder: ") + std::strerror(errno));
    program.resize(static_cast<std::size_t>(length));
    return program.substr(0, program.rfind('/') + 1) + fileName;
}

std::string PosixRuntime::argumentText() {
    std::string text;
    for (std::size_t i = 0; i < arguments_.size(); ++i)
        text += (i == 0 ? "" : " ") + arguments_[i];
    return text;
}

std::string PosixRuntime::upperCase(const std::string& text) {
    return text::upperCaseUtf8(text);
}

void PosixRuntime::reportWithoutLog(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
}

} // namespace modRegistryUpdate::posix
