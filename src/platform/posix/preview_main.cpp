#include "platform/posix/runtime.h"
#include "platform/posix/xml.h"
#include "preview/preview.h"

#include <iostream>

using namespace modRegistryUpdate;

// The preview on Linux: documents read as the Linux program reads them.
int main(int argc, char** argv) {
    posix::PosixRuntime runtime(argc, argv);
    posix::LibXmlService xml;
    return preview::runPreview(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc),
                               runtime, xml, std::cout, std::cerr);
}
