#include "platform/platform.h"
#include "platform/portable/ecmascript_regex.h"
#include "platform/posix/product_component.h"
#include "platform/posix/registry.h"
#include "platform/posix/runtime.h"
#include "platform/posix/text_log.h"
#include "platform/posix/xml.h"
#include "run/run_registry_update.h"
#include "store/store.h"

using namespace modRegistryUpdate;

int main(int argc, char** argv) {
    posix::PosixRuntime runtime(argc, argv);
    store::Store store([&runtime] { return runtime.pathBesideProgram(store::storeFileName); });
    posix::PosixTextLogFactory logs;
    posix::LibXmlService xml;
    EcmaScriptRegexEngine regex;
    posix::StoreProductComponentFactory products(store);
    posix::StoreRegistry registry(store);
    Platform platform{runtime, logs, xml, regex, products, registry};
    runRegistryUpdate(platform);
    return 0;
}
