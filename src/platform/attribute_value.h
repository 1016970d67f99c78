#pragma once

#include "platform/failure.h"

#include <optional>
#include <string>
#include <utility>

namespace modRegistryUpdate {

/// Text or null, as an XML attribute or a product property yields it. `what` names the source
/// so that a failed conversion says which attribute or property was missing.
class AttributeValue {
public:
    AttributeValue(std::optional<std::string> text, std::string what)
        : text_(std::move(text)), what_(std::move(what)) {}

    bool isNull() const { return !text_; }

    /// The text itself; a null value cannot be used as text and raises a Failure.
    const std::string& toText() const {
        if (!text_)
            throw Failure("Invalid use of Null: " + what_ + " is missing");
        return *text_;
    }

    /// The text to join with other text: a null value joins as empty text.
    std::string joined() const { return text_.value_or(std::string()); }

private:
    std::optional<std::string> text_;
    std::string what_;
};

} // namespace modRegistryUpdate
