#include "program_under_test.h"

#include "platform/posix/reg_file.h"
#include "platform/posix/unicode_text.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace modRegistryUpdate::e2e {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Under Wine the registry is shared by every case: these are the keys a case may touch.
const char* const caseKeys[] = {"SOFTWARE\\Fluxmeter", "SOFTWARE\\Other",
                                "SOFTWARE\\Classes\\ProductInfo.ProductInfo"};
const std::string componentClass = "{6A0D3C52-8E4B-4F71-9C1D-2B7E5A90F3C4}";

std::string windowsPath(const std::string& path) {
    std::string windows = "Z:" + path;
    for (char& c : windows) {
        if (c == '/')
            c = '\\';
    }
    return windows;
}

std::string regQuoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

const std::string productRegistration = crlf(R"(Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\SOFTWARE\Classes\ProductInfo.ProductInfo]
"Manufacturer"="Fluxmeter"
"ProductName"="Power Analyzer Pro"
"ProductVersion"="4.2"

)");
const std::string deviceInfo = "SOFTWARE\\Fluxmeter\\Power Analyzer Pro\\4.2\\DeviceInfo\\";
const std::string loadFailure = " Error reading xml document: meters.xml\r\n";

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

ProgramUnderTest::ProgramUnderTest()
    : wine_(environment("REGISTRY_UPDATE_WINE")),
      component_(environment("REGISTRY_UPDATE_TEST_COMPONENT")) {
    const std::filesystem::path built = environment("REGISTRY_UPDATE_PROGRAM");
    program_ = folder() + "/" + built.filename().string();
    std::filesystem::copy_file(built, program_);
}

void ProgramUnderTest::writeFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(folder() + "/" + name, std::ios::binary) << bytes;
}

void ProgramUnderTest::setRegistry(const std::string& regText) {
    if (isNative()) {
        writeFile("HKEY_LOCAL_MACHINE.reg", regText);
        return;
    }
    std::string import = "Windows Registry Editor Version 5.00\r\n\r\n";
    for (const char* key : caseKeys)
        import += std::string("[-HKEY_LOCAL_MACHINE\\") + key + "]\r\n\r\n";
    import += regText.substr(regText.find('\n') + 1) + "\r\n";
    import += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\" + componentClass +
              "\\InprocServer32]\r\n@=" + regQuoted(windowsPath(component_)) +
              "\r\n\"ThreadingModel\"=\"Apartment\"\r\n\r\n";
    if (regText.find("ProductInfo.ProductInfo]") != std::string::npos)
        import +=
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\ProductInfo.ProductInfo\\CLSID]\r\n@=\"" +
            componentClass + "\"\r\n\r\n";
    // Without a byte-order mark the import would read the text in the ANSI code page.
    writeFile("case.reg", "\xFF\xFE" + posix::utf8ToUtf16le(import));
    wine({"reg", "import", "case.reg"});
}

int ProgramUnderTest::startProcess(const std::vector<std::string>& command, const RunLimits& limits,
                                   const std::string& errors) const {
    const pid_t child = fork();
    if (child != 0)
        return child;
    std::vector<char*> argv;
    for (const std::string& argument : command)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const int fd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0 || dup2(fd, 2) < 0 || chdir(folder().c_str()) != 0)
        _exit(126);
    if (limits.fileSize) {
        // A write past the limit then fails as on a full disk instead of ending the process.
        signal(SIGXFSZ, SIG_IGN);
        const rlimit size = {*limits.fileSize, *limits.fileSize};
        setrlimit(RLIMIT_FSIZE, &size);
    }
    if (limits.user && (setgid(*limits.user) != 0 || setuid(*limits.user) != 0))
        _exit(126);
    // Wine's own diagnostics stay quiet but for an attempt to open a window.
    setenv("WINEDEBUG", "-all,err+winediag", 1);
    execv(argv[0], argv.data());
    _exit(127);
}

std::string ProgramUnderTest::spawn(const std::vector<std::string>& command,
                                    const RunLimits& limits) {
    const std::string errors = folder() + "/.stderr";
    const pid_t child = startProcess(command, limits, errors);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    peakKilobytes_ = usage.ru_maxrss;
    const std::optional<std::string> text = readFile(errors);
    std::filesystem::remove(errors);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(command.front() + " did not end well: " + text.value_or(""));
    return text.value_or("");
}

void ProgramUnderTest::wine(const std::vector<std::string>& command) {
    std::vector<std::string> line = {wine_};
    line.insert(line.end(), command.begin(), command.end());
    spawn(line);
}

std::vector<std::string>
ProgramUnderTest::commandFor(const std::vector<std::string>& arguments) const {
    std::vector<std::string> command;
    if (!isNative())
        command.push_back(wine_);
    command.push_back(program_);
    command.insert(command.end(), arguments.begin(), arguments.end());
    return command;
}

std::string ProgramUnderTest::run(const std::vector<std::string>& arguments,
                                  const RunLimits& limits) {
    registry_.reset();
    return spawn(commandFor(arguments), limits);
}

int ProgramUnderTest::start(const std::vector<std::string>& arguments) {
    registry_.reset();
    return startProcess(commandFor(arguments), {}, "/dev/null");
}

std::optional<std::string> ProgramUnderTest::log() const {
    return readFile(folder() + "/registryErrorLog.txt");
}

posix::RegStore& ProgramUnderTest::registry() {
    if (registry_)
        return *registry_;
    registry_ = std::make_unique<posix::RegStore>();
    if (isNative()) {
        posix::readRegFile(readFile(storePath()).value_or(""), *registry_);
        return *registry_;
    }
    for (const char* key : caseKeys) {
        const std::string exported = folder() + "/export.reg";
        try {
            wine({"reg", "export", std::string("HKEY_LOCAL_MACHINE\\") + key, "export.reg", "/y"});
        } catch (const std::runtime_error&) {
            continue; // the key does not exist
        }
        posix::readRegFile(readFile(exported).value_or(""), *registry_);
        std::filesystem::remove(exported);
    }
    return *registry_;
}

std::optional<std::string> ProgramUnderTest::value(const std::string& keyPath,
                                                   const std::string& name) {
    posix::RegKey* key = registry().find(keyPath);
    const posix::RegValue* found = key ? registry().findValue(*key, name) : nullptr;
    if (!found || found->form != posix::RegDataForm::text)
        return std::nullopt;
    return found->data;
}

bool ProgramUnderTest::hasKey(const std::string& keyPath) {
    return registry().find(keyPath) != nullptr;
}

} // namespace modRegistryUpdate::e2e
