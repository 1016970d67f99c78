#pragma once

#include "meters/meter_document.h"
#include "notes/note.h"
#include "platform/runtime.h"

#include <vector>

namespace modRegistryUpdate {

/// `value-written-twice`: a value the run writes again in the same key with other data, so that
/// the later write wins and the entry depends on the document's order. Follows the run's includes
/// of the matching products in order, each abandoned where the run abandons it; key and value
/// names compare as the registry compares them, through the runtime's upper case. A failing
/// service raises a Failure.
void noteValuesWrittenTwice(MeterDocument& document,
                            const std::vector<const XmlElement*>& matchingProducts,
                            Runtime& runtime, std::vector<Note>& notes);

} // namespace modRegistryUpdate
