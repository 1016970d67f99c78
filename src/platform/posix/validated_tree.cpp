#include "platform/posix/validated_tree.h"

#include "platform/posix/byte_order_mark.h"
#include "platform/posix/libxml_owners.h"
#include "platform/posix/local_entities.h"

#include <cstring>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/uri.h>
#include <libxml/valid.h>
#include <new>

namespace modRegistryUpdate::posix {
namespace {

/// A name the document declares its own holds a colon: not namespace-well-formed.
struct NameWithColon {};

// Validation needs libxml2's tree: it checks each element's content as the element closes. The
// external subset is loaded and external entities are expanded by the entity loader, which reads
// local files only. Without XML_PARSE_HUGE the same bounds hold as for any document: nesting
// deeper than 256, attribute values over 10 MB and entities that grow far beyond their
// references are refused. Names follow XML 1.0 before its fifth edition, as in the plain reading.
constexpr int validatingOptions = XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_DTDLOAD |
                                  XML_PARSE_DTDATTR | XML_PARSE_DTDVALID | XML_PARSE_OLD10 |
                                  XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

/// The name as written, prefix included. libxml2 keeps a prefix that no declaration binds as part
/// of a name in no namespace.
const xmlChar* nameOf(xmlDict* names, const xmlChar* name, const xmlNs* space) {
    const xmlChar* written = writtenName(names, space ? space->prefix : nullptr, name);
    if (!space && std::strchr(reinterpret_cast<const char*>(written), ':'))
        throw UndeclaredPrefix();
    return written;
}

/// Whether the attribute is declared as a name of the document's own (ID, IDREF, IDREFS, ENTITY,
/// ENTITIES, NOTATION), which holds no colon where names are namespace-aware. libxml2's validation
/// does not check this.
bool declaredAsName(const xmlDoc& document, const xmlChar* element, const xmlAttr& attribute) {
    const xmlChar* prefix = attribute.ns ? attribute.ns->prefix : nullptr;
    for (xmlDtd* subset : {document.intSubset, document.extSubset}) {
        const xmlAttribute* declaration =
            subset ? xmlGetDtdQAttrDesc(subset, element, attribute.name, prefix) : nullptr;
        if (!declaration)
            continue;
        switch (declaration->atype) {
        case XML_ATTRIBUTE_ID:
        case XML_ATTRIBUTE_IDREF:
        case XML_ATTRIBUTE_IDREFS:
        case XML_ATTRIBUTE_ENTITY:
        case XML_ATTRIBUTE_ENTITIES:
        case XML_ATTRIBUTE_NOTATION:
            return true;
        default:
            return false;
        }
    }
    return false;
}

void addElement(xmlDict* names, const xmlNode& node, ElementTreeBuilder& builder) {
    const xmlChar* element = nameOf(names, node.name, node.ns);
    builder.openElement(element, node.ns && node.ns->href && *node.ns->href);
    for (const xmlAttr* attribute = node.properties; attribute; attribute = attribute->next) {
        const OwnedText value(xmlNodeGetContent(reinterpret_cast<const xmlNode*>(attribute)));
        if (!value)
            throw std::bad_alloc();
        if (xmlStrchr(value.get(), ':') && declaredAsName(*node.doc, element, *attribute))
            throw NameWithColon();
        builder.addAttribute(nameOf(names, attribute->name, attribute->ns),
                             reinterpret_cast<const char*>(value.get()));
    }
}

/// Copies the document's elements, in document order, into `tree`. Walks without recursion:
/// entities can nest elements deeper than the parser's bound on nesting within one text.
bool copyElements(const xmlDoc& document, std::size_t size, ElementTree& tree) {
    xmlDict* names = document.dict;
    if (!names)
        return false;
    ElementTreeBuilder builder(tree, size);
    const xmlNode* node = document.children;
    while (node) {
        if (node->type == XML_ELEMENT_NODE) {
            addElement(names, *node, builder);
            if (node->children) {
                node = node->children;
                continue;
            }
            builder.closeElement();
        }
        while (!node->next && node->parent != reinterpret_cast<const xmlNode*>(&document)) {
            node = node->parent;
            builder.closeElement();
        }
        node = node->next;
    }
    return builder.finish(names);
}

} // namespace

bool parseValidatedTree(int fd, std::size_t size, const std::string& location, ElementTree& tree) {
    const OwnedParser parser(xmlNewParserCtxt());
    // The location as a URI, so that a blank or a '#' in a folder's name stays part of the path
    // that references are resolved against.
    const OwnedText base(xmlPathToURI(reinterpret_cast<const xmlChar*>(location.c_str())));
    if (!parser || !base)
        return false;
    const FetchFailures failures;
    const OwnedDocument document(xmlCtxtReadFd(
        parser.get(), fd, reinterpret_cast<const char*>(base.get()), nullptr, validatingOptions));
    if (!document || !parser->wellFormed || !parser->nsWellFormed || !parser->valid ||
        failures.any() || !markAgreesWithDeclaration(fd, document->encoding))
        return false;
    try {
        return copyElements(*document, size, tree);
    } catch (...) {
        return false;
    }
}

} // namespace modRegistryUpdate::posix
