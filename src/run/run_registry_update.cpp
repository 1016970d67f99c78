#include "run/run_registry_update.h"

#include "meters/read_meter_document.h"
#include "run/failure.h"
#include "run/module.h"
#include "run/one_line_log.h"

#include <memory>

namespace modRegistryUpdate {
namespace {

/// Writes one of the driver's own lines; when the log fails here, nothing else would take it.
void writeOrReport(Platform& platform, TextLog& errorLog, const std::string& line) {
    try {
        errorLog.writeLine(line);
    } catch (...) {
        platform.runtime.reportWithoutLog(line);
    }
}

void saveRegistryChanges(Platform& platform, TextLog& errorLog) {
    Registry& registry = platform.registry;
    const RegistryStatus status = registry.saveChanges();
    if (!status.ok())
        writeOrReport(platform, errorLog,
                      status.message() +
                          " Could not save registry store: " + registry.storeLocation());
}

} // namespace

void runRegistryUpdate(Platform& platform) {
    std::string contextMessage;
    std::unique_ptr<TextLog> errorLog;
    try {
        contextMessage = "Could not create error file";
        errorLog = std::make_unique<OneLineLog>(platform.logs.createTextFile(
            platform.runtime.pathBesideProgram("registryErrorLog.txt")));
        contextMessage = "Could not create registry file";
        Module module{platform, *errorLog};
        readMeterDocument(module);
        saveRegistryChanges(platform, *errorLog);
        errorLog->close();
    } catch (...) {
        const std::string line = currentFailureDescription() + " " + contextMessage;
        if (!errorLog) {
            platform.runtime.reportWithoutLog(line);
            return;
        }
        writeOrReport(platform, *errorLog, line);
        // What was written before the failure is kept, as after a run that ended well.
        saveRegistryChanges(platform, *errorLog);
    }
}

} // namespace modRegistryUpdate
