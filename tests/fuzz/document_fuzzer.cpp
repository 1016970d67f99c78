// A document's bytes through loading, matching and building, over in-memory fakes of everything
// but the XML parser. The input's first line is the installed product's name; the rest is the
// document.

#include <cstdint>
#include <fstream>
#include <string>
#include <unistd.h>

#include "fakes/fake_platform.h"
#include "platform/posix/xml.h"
#include "run/run_registry_update.h"
#include "text/unicode_text.h"

namespace {

using namespace modRegistryUpdate;

class UnicodeRuntime : public fakes::FakeRuntime {
public:
    std::string upperCase(const std::string& text) override { return text::upperCaseUtf8(text); }
};

const std::string documentPath = "/tmp/document_fuzzer." + std::to_string(getpid()) + ".xml";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t lineEnd = input.find('\n');
    const std::string productName = input.substr(0, lineEnd);
    std::ofstream(documentPath, std::ios::binary)
        << (lineEnd == std::string::npos ? std::string() : input.substr(lineEnd + 1));

    UnicodeRuntime runtime;
    runtime.arguments = documentPath;
    fakes::FakeTextLogFactory logs;
    posix::LibXmlService xml;
    fakes::FakeProductFactory products;
    products.properties["ProductName"] = productName;
    fakes::FakeRegistry registry;
    Platform platform{runtime, logs, xml, products, registry};
    runRegistryUpdate(platform);
    if (!runtime.unlogged.empty() || registry.openHandles != 0)
        __builtin_trap();
    return 0;
}
