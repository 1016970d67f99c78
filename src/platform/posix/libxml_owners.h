#pragma once

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/uri.h>
#include <memory>

namespace modRegistryUpdate::posix {

// One owner per libxml2 resource the Linux reader holds, each freed by libxml2's own function.

struct FreeParser {
    void operator()(xmlParserCtxt* parser) const { xmlFreeParserCtxt(parser); }
};
using OwnedParser = std::unique_ptr<xmlParserCtxt, FreeParser>;

struct FreeDocument {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
using OwnedDocument = std::unique_ptr<xmlDoc, FreeDocument>;

struct FreeDictionary {
    void operator()(xmlDict* names) const { xmlDictFree(names); }
};
using OwnedDictionary = std::unique_ptr<xmlDict, FreeDictionary>;

struct FreeText {
    void operator()(xmlChar* text) const { xmlFree(text); }
};
using OwnedText = std::unique_ptr<xmlChar, FreeText>;

struct FreeUri {
    void operator()(xmlURI* uri) const { xmlFreeURI(uri); }
};
using OwnedUri = std::unique_ptr<xmlURI, FreeUri>;

} // namespace modRegistryUpdate::posix
