#pragma once

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/uri.h>
#include <memory>

namespace modRegistryUpdate::posix {

// One owner per libxml2 resource the Linux reader holds, each freed by libxml2's own function.

template <auto freeResource> struct FreedBy {
    template <typename Resource> void operator()(Resource* resource) const {
        freeResource(resource);
    }
};

using OwnedParser = std::unique_ptr<xmlParserCtxt, FreedBy<xmlFreeParserCtxt>>;
using OwnedDocument = std::unique_ptr<xmlDoc, FreedBy<xmlFreeDoc>>;
using OwnedDictionary = std::unique_ptr<xmlDict, FreedBy<xmlDictFree>>;
using OwnedUri = std::unique_ptr<xmlURI, FreedBy<xmlFreeURI>>;

// xmlFree is a variable holding the allocator's function, so it cannot be a template argument.
struct FreeText {
    void operator()(xmlChar* text) const { xmlFree(text); }
};
using OwnedText = std::unique_ptr<xmlChar, FreeText>;

} // namespace modRegistryUpdate::posix
