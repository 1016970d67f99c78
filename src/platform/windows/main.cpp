#include "platform/platform.h"
#include "platform/windows/product_component.h"
#include "platform/windows/registry.h"
#include "platform/windows/runtime.h"
#include "platform/windows/text_log.h"
#include "platform/windows/xml.h"
#include "run/run_registry_update.h"

#include <objbase.h>
#include <windows.h>

using namespace modRegistryUpdate;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Components are created on this one thread only; one that cannot start COM finds each
    // creation failing and logs it.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        windows::WinRuntime runtime;
        windows::WinTextLogFactory logs;
        windows::MsxmlService xml;
        windows::ComProductComponentFactory products;
        windows::WinRegistry registry;
        Platform platform{runtime, logs, xml, products, registry};
        runRegistryUpdate(platform);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}
