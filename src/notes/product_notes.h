#pragma once

#include "notes/note.h"
#include "platform/runtime.h"
#include "platform/xml.h"

#include <string>
#include <vector>

namespace modRegistryUpdate {

/// The products as the run takes them for one installed product.
struct ProductMatches {
    XmlElementList products; ///< every `Product` the run selects, in document order
    /// Those whose pattern matches the upper-cased product name, up to where the pass ends.
    std::vector<const XmlElement*> matching;
    /// Whether a `Product` without name or with an invalid pattern ends the pass, which the log
    /// reports.
    bool passEnds = false;
};

/// Matches each product's pattern as the run does: both upper-cased by the runtime, through the
/// pattern engine. A failing service raises a Failure.
ProductMatches matchProducts(const XmlDocument& document, const std::string& productName,
                             Runtime& runtime);

/// `no-product-matches`: nothing is written because no pattern matches the product name, with
/// the product whose plain pattern is a near spelling of the name.
void noteNoProductMatches(const XmlDocument& document, const ProductMatches& matches,
                          const std::string& productName, std::vector<Note>& notes);

/// `upper-cased-escape`: a pattern holding an escape that upper-casing turns into another.
void noteUpperCasedEscapes(const ProductMatches& matches, std::vector<Note>& notes);

} // namespace modRegistryUpdate
