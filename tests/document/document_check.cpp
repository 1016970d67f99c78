// Answers, for each line of standard input naming a document, one line: "loaded" or "refused",
// as the Linux program's reading decides. The conformance test feeds it the W3C XML suite.

#include <iostream>
#include <string>

#include "platform/posix/xml.h"

int main() {
    modRegistryUpdate::posix::LibXmlService service;
    std::string path;
    while (std::getline(std::cin, path))
        std::cout << (service.createDocument()->load(path) ? "loaded" : "refused") << '\n';
}
