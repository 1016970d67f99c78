#pragma once

#include "notes/note.h"
#include "platform/runtime.h"
#include "platform/xml.h"

#include <string>
#include <vector>

namespace modRegistryUpdate {

/// What the document silently does not do, or does depending on its order, for the installed
/// product of this name: read through the same XML service and upper case as a run, so that it
/// sees what the run sees, and never logged. Grouped by kind, each kind in document order; none
/// when the document does not load (the log says so). A failing service raises a Failure.
std::vector<Note> findNotes(XmlService& xml, const std::string& documentPath,
                            const std::string& productName, Runtime& runtime);

} // namespace modRegistryUpdate
