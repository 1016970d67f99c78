#pragma once

#include "meters/meter_document.h"
#include "notes/note.h"

#include <vector>

namespace modRegistryUpdate {

/// `vendor-names-no-device`: an include of any product whose vendor is exactly no device's, so it
/// writes nothing; `device-never-included`: a device whose vendor no include of any product names
/// exactly, so it is never written. Each with the near spelling the document holds. A failing
/// service raises a Failure.
void noteVendors(MeterDocument& document, const XmlElementList& products, std::size_t& budget,
                 std::vector<Note>& notes);

} // namespace modRegistryUpdate
