#pragma once

#include "notes/note.h"
#include "platform/runtime.h"
#include "platform/xml.h"

#include <string>
#include <vector>

namespace modRegistryUpdate {

/// The notes on one document, at most `mostNotes` of them.
struct DocumentNotes {
    std::vector<Note> notes;
    bool moreNotShown = false; ///< whether the document has more than `notes` shows
};

/// What the document silently does not do, or does depending on its order, for the installed
/// product of this name: read through the same XML service and upper case as a run, so that it
/// sees what the run sees, and never logged. Grouped by kind, each kind in document order; none
/// when the document does not load (the log says so). A failing service raises a Failure.
DocumentNotes findNotes(XmlService& xml, const std::string& documentPath,
                        const std::string& productName, Runtime& runtime);

} // namespace modRegistryUpdate
