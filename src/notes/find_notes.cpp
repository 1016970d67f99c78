#include "notes/find_notes.h"

#include "meters/meter_document.h"
#include "notes/element_notes.h"
#include "notes/near_spelling.h"
#include "notes/product_notes.h"
#include "notes/vendor_notes.h"
#include "notes/write_notes.h"

#include <algorithm>

namespace modRegistryUpdate {

DocumentNotes findNotes(XmlService& xml, const std::string& documentPath,
                        const std::string& productName, Runtime& runtime) {
    const std::unique_ptr<XmlLoader> loader = xml.createDocument();
    MeterDocument document{loader->load(documentPath), nullptr};
    std::vector<Note> notes;
    if (!document.xml)
        return {};
    std::size_t budget = spellingBudget;
    const ProductMatches matches = matchProducts(*document.xml, productName, runtime);
    noteNoProductMatches(*document.xml, matches, productName, notes);
    noteElementsNotRead(*document.xml, budget, notes);
    noteUpperCasedEscapes(matches, notes);
    noteVendors(document, matches.products, budget, notes);
    noteValuesWrittenTwice(document, matches.matching, runtime, notes);
    const bool more = notes.size() > mostNotes;
    notes.resize(std::min(notes.size(), mostNotes));
    return {std::move(notes), more};
}

} // namespace modRegistryUpdate
