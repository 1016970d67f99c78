#include "run/failure.h"

#include <exception>

namespace modRegistryUpdate {

std::string currentFailureDescription() {
    try {
        throw;
    } catch (const std::exception& failure) {
        return failure.what();
    } catch (...) {
        return "Unknown failure";
    }
}

} // namespace modRegistryUpdate
