// msxml_floor DOCUMENT
// Loads the document with the program's own MSXML 3.0 code and nothing else: the floor of the
// parse a run cannot avoid.

#include <objbase.h>

#include "platform/windows/xml.h"

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool loaded = false;
    {
        modRegistryUpdate::windows::MsxmlService xml;
        loaded = xml.createDocument()->load(argv[1]) != nullptr;
    }
    CoUninitialize();
    return loaded ? 0 : 1;
}
