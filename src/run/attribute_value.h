#pragma once

#include "platform/xml.h"
#include "run/failure.h"
#include "run/location_path.h"

#include <optional>
#include <string>
#include <utility>

namespace modRegistryUpdate {

/// Text or null, as an XML attribute or a product property yields it. `kind` and `name` say
/// where it came from, so that a failed conversion says which attribute or property was missing;
/// an attribute's element, when given, also says where in its document it stands.
class AttributeValue {
public:
    AttributeValue(std::optional<std::string> text, const char* kind, std::string name,
                   const XmlElement* element = nullptr)
        : text_(std::move(text)), kind_(kind), name_(std::move(name)), element_(element) {}

    /// The text itself; a null value cannot be used as text and raises a Failure.
    const std::string& toText() const {
        if (!text_)
            throw Failure(nullDescription());
        return *text_;
    }

    /// The text to join with other text: a null value joins as empty text.
    std::string joined() const { return text_.value_or(std::string()); }

private:
    // The element's path is only worked out here: reads that succeed must stay cheap.
    std::string nullDescription() const {
        std::string description =
            std::string("Invalid use of Null: ") + kind_ + " \"" + name_ + "\" is missing";
        if (element_)
            description += " at " + locationPath(*element_);
        return description;
    }

    std::optional<std::string> text_;
    const char* kind_;
    std::string name_;
    const XmlElement* element_;
};

} // namespace modRegistryUpdate
