#include "platform/posix/element_tree.h"

#include <cerrno>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <limits>
#include <new>
#include <unistd.h>

namespace modRegistryUpdate::posix {
namespace {

// Entities are expanded as the Windows parser expands them. Without XML_PARSE_HUGE libxml2
// refuses an entity whose expansion outgrows its references, elements nested deeper than 256
// and attribute values over 10 MB: the bounds that keep a hostile document small.
constexpr int parseOptions =
    XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_DTDATTR | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

/// Receives the parser's events and records the elements as they open and close.
struct TreeBuilder {
    ElementTree& tree;
    /// The open elements, innermost last, each with its last child so far.
    struct Open {
        ElementTree::Index element;
        ElementTree::Index lastChild;
    };
    std::vector<Open> open{{0, 0}};
    /// Set when the tree cannot hold the document (too many elements, no memory left) or the
    /// document uses a namespace prefix it never declared.
    bool failed = false;
};

TreeBuilder& builderOf(void* context) {
    return *static_cast<TreeBuilder*>(static_cast<xmlParserCtxt*>(context)->_private);
}

/// Windows' MSXML refuses a name whose prefix no namespace declaration binds; libxml2 only
/// warns and leaves the name without a namespace.
struct UndeclaredPrefix {};

/// The name as written, prefix included.
const xmlChar* writtenName(xmlParserCtxt& parser, const xmlChar* localName, const xmlChar* prefix,
                           const xmlChar* uri) {
    if (prefix && !uri)
        throw UndeclaredPrefix();
    const xmlChar* name = prefix ? xmlDictQLookup(parser.dict, prefix, localName) : localName;
    if (!name)
        throw std::bad_alloc();
    return name;
}

void addElement(xmlParserCtxt& parser, TreeBuilder& builder, const xmlChar* localName,
                const xmlChar* prefix, const xmlChar* uri, int attributeCount,
                const xmlChar** attributes) {
    ElementTree& tree = builder.tree;
    constexpr auto most = std::numeric_limits<ElementTree::Index>::max();
    if (tree.elements.size() >= most ||
        tree.attributes.size() + static_cast<std::size_t>(attributeCount) >= most)
        throw std::bad_alloc();
    const auto index = static_cast<ElementTree::Index>(tree.elements.size());
    ElementTree::Element element;
    element.name = writtenName(parser, localName, prefix, uri);
    element.namespaced = uri && *uri;
    element.parent = builder.open.back().element;
    element.firstAttribute = static_cast<ElementTree::Index>(tree.attributes.size());
    // Each attribute comes as its local name, prefix, namespace, and the bounds of its value.
    for (int i = 0; i < attributeCount; ++i) {
        const xmlChar* const* fields = attributes + 5 * i;
        const auto* begin = reinterpret_cast<const char*>(fields[3]);
        const auto* end = reinterpret_cast<const char*>(fields[4]);
        tree.attributes.push_back({writtenName(parser, fields[0], fields[1], fields[2]),
                                   tree.values.size(), static_cast<std::size_t>(end - begin)});
        tree.values.append(begin, end);
    }
    element.attributeEnd = static_cast<ElementTree::Index>(tree.attributes.size());
    tree.elements.push_back(element);

    TreeBuilder::Open& parent = builder.open.back();
    if (parent.lastChild == 0)
        tree.elements[parent.element].firstChild = index;
    else
        tree.elements[parent.lastChild].nextSibling = index;
    parent.lastChild = index;
    builder.open.push_back({index, 0});
}

void openElement(void* context, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
                 int, const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
    auto& parser = *static_cast<xmlParserCtxt*>(context);
    TreeBuilder& builder = builderOf(context);
    // Nothing may unwind through the parser's own frames: a tree that cannot grow, or a name it
    // must refuse, ends the load.
    try {
        addElement(parser, builder, localName, prefix, uri, attributeCount, attributes);
    } catch (...) {
        builder.failed = true;
        xmlStopParser(&parser);
    }
}

void closeElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    TreeBuilder& builder = builderOf(context);
    // The document itself stays open: a stray close from a broken entity cannot pop it.
    if (builder.open.size() < 2)
        return;
    builder.tree.elements[builder.open.back().element].end =
        static_cast<ElementTree::Index>(builder.tree.elements.size());
    builder.open.pop_back();
}

/// Character data is checked by the parser but never kept: the program reads only elements and
/// attributes, and a document's text then costs no memory and meets no length limit.
void ignoreText(void*, const xmlChar*, int) {}

int readFile(void* context, char* buffer, int length) {
    ssize_t count;
    do
        count = read(*static_cast<int*>(context), buffer, static_cast<std::size_t>(length));
    while (count < 0 && errno == EINTR);
    return count < 0 ? -1 : static_cast<int>(count);
}

/// Room for a document of the file's size with elements and attributes somewhat denser than a
/// meter definition's (values are a third of its bytes), so that the arrays are seldom copied to
/// grow; the pages left unused are never touched.
void reserveFor(std::size_t size, ElementTree& tree) {
    try {
        tree.elements.reserve(size / 48);
        tree.attributes.reserve(size / 32);
        tree.values.reserve(size / 2);
    } catch (const std::bad_alloc&) {
        // Then the arrays grow as the document needs, as far as memory allows.
    }
}

struct FreeParser {
    void operator()(xmlParserCtxt* parser) const { xmlFreeParserCtxt(parser); }
};
using OwnedParser = std::unique_ptr<xmlParserCtxt, FreeParser>;

} // namespace

bool parseElementTree(int fd, std::size_t size, ElementTree& tree) {
    // libxml2's own handlers still keep the declarations and expand the entities; only the
    // events that would build its tree come here.
    xmlSAXHandler events{};
    xmlSAXVersion(&events, 2);
    events.startElementNs = openElement;
    events.endElementNs = closeElement;
    events.characters = ignoreText;
    events.ignorableWhitespace = ignoreText;
    events.cdataBlock = ignoreText;
    events.comment = nullptr;
    events.processingInstruction = nullptr;

    OwnedParser parser(
        xmlCreateIOParserCtxt(&events, nullptr, readFile, nullptr, &fd, XML_CHAR_ENCODING_NONE));
    if (!parser)
        return false;
    xmlCtxtUseOptions(parser.get(), parseOptions);
    TreeBuilder builder{tree};
    tree = ElementTree();
    reserveFor(size, tree);
    tree.elements.emplace_back();
    parser->_private = &builder;
    xmlParseDocument(parser.get());
    // The declarations held for the entities are not needed once the document is read.
    if (parser->myDoc) {
        xmlFreeDoc(parser->myDoc);
        parser->myDoc = nullptr;
    }
    if (!parser->wellFormed || builder.failed || builder.open.size() != 1)
        return false;
    tree.elements.front().end = static_cast<ElementTree::Index>(tree.elements.size());
    xmlDictReference(parser->dict);
    tree.names.reset(parser->dict);
    return true;
}

} // namespace modRegistryUpdate::posix
