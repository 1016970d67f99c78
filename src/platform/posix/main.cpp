#include "platform/platform.h"
#include "platform/posix/product_component.h"
#include "platform/posix/runtime.h"
#include "platform/posix/text_log.h"
#include "platform/posix/xml.h"
#include "run/run_registry_update.h"
#include "store/locked_file.h"
#include "store/store_registry.h"

#include <malloc.h>

using namespace modRegistryUpdate;

int main(int argc, char** argv) {
    // A run builds and drops millions of small objects and a few large arrays: keeping freed
    // memory in the heap, instead of handing it back and faulting it in again, saves a tenth.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
    mallopt(M_TOP_PAD, 16 * 1024 * 1024);
    posix::PosixRuntime runtime(argc, argv);
    store::LockedStoreFile file(
        [&runtime] { return runtime.pathBesideProgram(store::storeFileName); });
    store::Store store(file);
    posix::PosixTextLogFactory logs;
    posix::LibXmlService xml;
    posix::StoreProductComponentFactory products(store);
    store::StoreRegistry registry(store);
    Platform platform{runtime, logs, xml, products, registry};
    runRegistryUpdate(platform);
    return 0;
}
