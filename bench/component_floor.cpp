// component_floor DEVICES
// Creates the installed product's component once for the product name and once for every
// device, reading what RegistryUpdate reads of each, through the program's own COM code: the
// floor of the component calls a run cannot avoid.

#include <cstdlib>
#include <objbase.h>

#include "platform/windows/product_component.h"

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    const int devices = std::atoi(argv[1]);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        modRegistryUpdate::windows::ComProductComponentFactory products;
        products.create("ProductInfo.ProductInfo")->getProperty("ProductName");
        for (int device = 0; device < devices; ++device) {
            const auto product = products.create("ProductInfo.ProductInfo");
            for (const char* property : {"Manufacturer", "ProductName", "ProductVersion"})
                product->getProperty(property);
        }
    }
    CoUninitialize();
    return 0;
}
