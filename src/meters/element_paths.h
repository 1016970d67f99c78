#pragma once

#include "platform/xml.h"

namespace modRegistryUpdate::elementPaths {

// The only selections the run makes, shared with what reads the document alongside it, so that
// both select the same elements.
using Axis = ElementStep::Axis;

// From the document.
inline const ElementPath productsOfDocument{
    {{Axis::descendant, "Meters"}, {Axis::child, "Product"}}};
inline const ElementPath devicesOfDocument{{{Axis::child, "Meters"}, {Axis::child, "Device"}}};
// From a product, a device, a firmware and a category.
inline const ElementPath includesOfProduct{{{Axis::child, "IncludeKey"}}};
inline const ElementPath firmwaresOfDevice{
    {{Axis::child, "RegistryData"}, {Axis::child, "Firmware"}}};
inline const ElementPath keysOfFirmware{{{Axis::child, "Key"}}};
inline const ElementPath categoriesOfDevice{
    {{Axis::child, "TemplateStringLookup"}, {Axis::child, "VoltsModeCategory"}}};
inline const ElementPath entriesOfCategory{{{Axis::descendant, "TemplateStringEntry"}}};

} // namespace modRegistryUpdate::elementPaths
