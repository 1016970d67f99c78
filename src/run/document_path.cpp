#include "run/document_path.h"

#include "run/failure.h"

namespace modRegistryUpdate {

std::string getDocumentPath(Module& module) {
    try {
        std::string argumentText = module.platform.runtime.argumentText();
        // An empty location is still handed on: its failed load is reported by the caller.
        if (argumentText.empty())
            module.errorLog.writeLine("Missing command line argument");
        return argumentText;
    } catch (...) {
        module.errorLog.writeLine(currentFailureDescription() +
                                  ". Could not read commandline, invalid settings");
        return std::string();
    }
}

} // namespace modRegistryUpdate
