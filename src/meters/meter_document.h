#pragma once

#include "platform/attribute_value.h"
#include "platform/xml.h"

#include <string>

namespace modRegistryUpdate {

/// An element's attribute as text or null; a null one names the attribute and where its element
/// stands when converted. The value refers to the element, which must outlive it.
inline AttributeValue readAttribute(const XmlNode& element, const std::string& name) {
    return AttributeValue(element.getAttribute(name), "attribute", name, &element);
}

} // namespace modRegistryUpdate
