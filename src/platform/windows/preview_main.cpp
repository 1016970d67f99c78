#include "platform/windows/runtime.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/xml.h"
#include "preview/preview.h"

#include <fcntl.h>
#include <io.h>
#include <iostream>
#include <objbase.h>
#include <windows.h>

using namespace modRegistryUpdate;

// The preview on Windows, a console program: documents read by MSXML 3.0 as the shipped program
// reads them. It prints UTF-8, the same bytes as the Linux preview: a redirected file reads the
// same on either system, and the console is told to show UTF-8 rather than its OEM code page.
int wmain(int argc, wchar_t** argv) {
    SetConsoleOutputCP(CP_UTF8);
    // Written as they are: the CR LF line ends are the preview's own.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(windows::toUtf8(argv[i]));
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int status;
    {
        windows::WinRuntime runtime;
        windows::MsxmlService xml;
        status = preview::runPreview(arguments, runtime, xml, std::cout, std::cerr);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return status;
}
