#include "program_under_test.h"

#include "platform/posix/reg_file.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace modRegistryUpdate::e2e {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

ProgramUnderTest::ProgramUnderTest() : wine_(environment("REGISTRY_UPDATE_WINE")) {
    const std::filesystem::path built = environment("REGISTRY_UPDATE_PROGRAM");
    program_ = folder() + "/" + built.filename().string();
    std::filesystem::copy_file(built, program_);
}

void ProgramUnderTest::writeFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(folder() + "/" + name, std::ios::binary) << bytes;
}

void ProgramUnderTest::setRegistry(const std::string& regText) const {
    writeFile("HKEY_LOCAL_MACHINE.reg", regText);
}

std::string ProgramUnderTest::run(const std::vector<std::string>& arguments) {
    const std::string errors = folder() + "/.stderr";
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program_.c_str()));
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        const int fd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || dup2(fd, 2) < 0 || chdir(folder().c_str()) != 0)
            _exit(126);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) >= 126)
        throw std::runtime_error("the program did not run to its end");
    registry_.reset();
    const std::optional<std::string> text = readFile(errors);
    std::filesystem::remove(errors);
    return text.value_or("");
}

std::optional<std::string> ProgramUnderTest::log() const {
    return readFile(folder() + "/registryErrorLog.txt");
}

posix::RegStore& ProgramUnderTest::registry() {
    if (!registry_) {
        registry_ = std::make_unique<posix::RegStore>();
        posix::readRegFile(readFile(storePath()).value_or(""), *registry_);
    }
    return *registry_;
}

std::optional<std::string> ProgramUnderTest::value(const std::string& keyPath,
                                                   const std::string& name) {
    posix::RegKey* key = registry().find(posix::splitKeyPath(keyPath));
    const posix::RegValue* found = key ? registry().findValue(*key, name) : nullptr;
    if (!found || found->form != posix::RegDataForm::text)
        return std::nullopt;
    return found->data;
}

bool ProgramUnderTest::hasKey(const std::string& keyPath) {
    return registry().find(posix::splitKeyPath(keyPath)) != nullptr;
}

} // namespace modRegistryUpdate::e2e
