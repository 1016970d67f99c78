#pragma once

#include "meters/meter_document.h"
#include "run/module.h"

namespace modRegistryUpdate {

/// Writes the registry entries of every device of one include's vendor under the installed
/// product's DeviceInfo key. A failure is logged and ends this include only; a failed registry
/// operation is logged and the include goes on.
void parseNodes(Module& module, MeterDocument& document, const XmlElement& includeKey);

} // namespace modRegistryUpdate
