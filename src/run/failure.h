#pragma once

#include <stdexcept>
#include <string>

namespace modRegistryUpdate {

/// A failure raised anywhere in the run: carries the description text that a handler logs.
class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& description) : std::runtime_error(description) {}
};

/// The description of the failure being handled, whatever raised it. Call only inside a catch.
std::string currentFailureDescription();

} // namespace modRegistryUpdate
