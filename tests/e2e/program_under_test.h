#pragma once

#include "crlf.h"
#include "platform/posix/reg_store.h"
#include "platform/posix/temporary_folder.h"

#include <optional>
#include <string>
#include <vector>

namespace modRegistryUpdate::e2e {

/// How a run of the program is constrained.
struct RunLimits {
    std::optional<unsigned> user;          ///< run as this user id (only root can)
    std::optional<unsigned long> fileSize; ///< largest file it may write, in bytes
};

/// The built program, copied into a fresh folder of its own so that its log and store are the
/// test's alone. Which build runs, and how, comes from the environment the test runs in.
class ProgramUnderTest {
public:
    ProgramUnderTest();

    const std::string& folder() const { return folder_.path(); }
    /// Writes a file into the program's folder.
    void writeFile(const std::string& name, const std::string& bytes) const;
    /// Lays out the registry the program will find, as .reg text: the store file natively; under
    /// Wine, the keys a case may touch are replaced by the text's and the test component is
    /// registered when the text registers ProductInfo.ProductInfo.
    void setRegistry(const std::string& regText);
    /// Runs the program with these arguments (none when empty) and waits for it. Returns what it
    /// wrote on standard error.
    std::string run(const std::vector<std::string>& arguments, const RunLimits& limits = {});
    /// Starts the program without waiting for it; returns its process id.
    int start(const std::vector<std::string>& arguments);
    /// The peak memory of the last run that was waited for, in kilobytes.
    long peakKilobytes() const { return peakKilobytes_; }

    /// The log's bytes, or no value when there is no log.
    std::optional<std::string> log() const;
    /// The registry as the program left it.
    posix::RegStore& registry();
    /// A text value of the registry as the program left it.
    std::optional<std::string> value(const std::string& keyPath, const std::string& name);
    bool hasKey(const std::string& keyPath);

    bool isNative() const { return wine_.empty(); }
    std::string storePath() const { return folder() + "/HKEY_LOCAL_MACHINE.reg"; }

private:
    /// Runs a command in the program's folder, its standard error into a file; returns what it
    /// wrote there.
    std::string spawn(const std::vector<std::string>& command, const RunLimits& limits = {});
    int startProcess(const std::vector<std::string>& command, const RunLimits& limits,
                     const std::string& errors) const;
    std::vector<std::string> commandFor(const std::vector<std::string>& arguments) const;
    /// Runs a Windows command under Wine, which must succeed.
    void wine(const std::vector<std::string>& command);

    posix::TemporaryFolder folder_;
    std::string wine_;
    std::string component_;
    std::string program_;
    std::unique_ptr<posix::RegStore> registry_;
    long peakKilobytes_ = 0;
};

/// A registry in which the product "Fluxmeter" / "Power Analyzer Pro" / "4.2" is installed.
extern const std::string productRegistration;
/// Where that product's device entries go.
extern const std::string deviceInfo;
/// The line of a document that does not load.
extern const std::string loadFailure;

/// Reads a whole file; no value when it cannot be opened.
std::optional<std::string> readFile(const std::string& path);

} // namespace modRegistryUpdate::e2e
