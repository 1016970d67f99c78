#pragma once

#include <memory>
#include <optional>
#include <string>

namespace modRegistryUpdate {

/// An instance of an outside component whose properties are read by name.
class ProductComponent {
public:
    virtual ~ProductComponent() = default;

    /// The property's value as text (a number in the platform's text form), or no value for
    /// null. A property that cannot be read raises a Failure.
    virtual std::optional<std::string> getProperty(const std::string& name) = 0;
};

/// Creates components by programmatic identifier.
class ProductComponentFactory {
public:
    virtual ~ProductComponentFactory() = default;

    /// A new instance. A component that cannot be created raises a Failure.
    virtual std::unique_ptr<ProductComponent> create(const std::string& programmaticId) = 0;
};

} // namespace modRegistryUpdate
