// A pattern's bytes against a product name through the regex engine alone: the input's first
// line is the pattern, the rest the name. Any result or a Failure is fine; a crash, a hang or a
// sanitizer report is a finding.

#include <cstdint>
#include <string>

#include "pattern/ecmascript_regex.h"
#include "run/failure.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t lineEnd = input.find('\n');
    try {
        modRegistryUpdate::ecmaScriptTest(input.substr(0, lineEnd),
                                          lineEnd == std::string::npos ? std::string()
                                                                       : input.substr(lineEnd + 1));
    } catch (const modRegistryUpdate::Failure&) {
    }
    return 0;
}
