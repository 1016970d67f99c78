#include "run/run_registry_update.h"

#include "meters/read_meter_document.h"
#include "platform/failure.h"
#include "run/module.h"

#include <memory>

namespace modRegistryUpdate {
namespace {

void saveRegistryChanges(Module& module) {
    Registry& registry = module.platform.registry;
    const RegistryStatus status = registry.saveChanges();
    if (status != registrySuccess)
        module.errorLog.writeLine(registry.describe(status) +
                                  " Could not save registry store: " + registry.storeLocation());
}

} // namespace

void runRegistryUpdate(Platform& platform) {
    std::string contextMessage;
    std::unique_ptr<TextLog> errorLog;
    try {
        contextMessage = "Could not create error file";
        errorLog = platform.logs.createTextFile(
            platform.runtime.pathBesideProgram("registryErrorLog.txt"));
        contextMessage = "Could not create registry file";
        Module module{platform, *errorLog};
        readMeterDocument(module);
        saveRegistryChanges(module);
        errorLog->close();
    } catch (...) {
        const std::string line = currentFailureDescription() + " " + contextMessage;
        if (!errorLog) {
            platform.runtime.reportWithoutLog(line);
            return;
        }
        // The changes made before the failure are kept, like those of a run that ended well;
        // a log that fails again here has nothing left to report to.
        try {
            errorLog->writeLine(line);
            Module module{platform, *errorLog};
            saveRegistryChanges(module);
        } catch (...) {
            platform.runtime.reportWithoutLog(line);
        }
    }
}

} // namespace modRegistryUpdate
