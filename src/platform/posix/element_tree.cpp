#include "platform/posix/element_tree.h"

#include "platform/posix/validated_tree.h"

#include <cerrno>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <limits>
#include <new>
#include <unistd.h>

namespace modRegistryUpdate::posix {
namespace {

// Without XML_PARSE_HUGE libxml2 refuses elements nested deeper than 256 and attribute values
// over 10 MB: the bounds that keep a hostile document small. No declaration reaches this reading,
// so there are no entities of the document's own and no attribute defaults; XML_PARSE_NOENT still
// counts: without it libxml2 hands over an `&` written as `&amp;` or `&#38;` in an attribute value
// as the text `&#38;`, for a tree builder to decode again.
constexpr int parseOptions =
    XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

/// Receives the parser's events and records the elements as they open and close.
struct TreeBuilder {
    ElementTreeBuilder elements;
    /// Set when the tree cannot hold the document (too many elements, no memory left) or the
    /// document uses a namespace prefix it never declared.
    bool failed = false;
    /// Set when the document has a document type declaration: it is then read again, validated.
    bool declaresType = false;
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

void addElement(xmlParserCtxt& parser, ElementTreeBuilder& builder, const xmlChar* localName,
                const xmlChar* prefix, const xmlChar* uri, int attributeCount,
                const xmlChar** attributes) {
    builder.openElement(writtenName(parser, localName, prefix, uri), uri && *uri);
    // Each attribute comes as its local name, prefix, namespace, and the bounds of its value.
    for (int i = 0; i < attributeCount; ++i) {
        const xmlChar* const* fields = attributes + 5 * i;
        const auto* begin = reinterpret_cast<const char*>(fields[3]);
        const auto* end = reinterpret_cast<const char*>(fields[4]);
        builder.addAttribute(writtenName(parser, fields[0], fields[1], fields[2]),
                             std::string_view(begin, static_cast<std::size_t>(end - begin)));
    }
}

void openElement(void* context, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
                 int, const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
    auto& parser = *static_cast<xmlParserCtxt*>(context);
    TreeBuilder& builder = builderOf(context);
    // Nothing may unwind through the parser's own frames: a tree that cannot grow, or a name it
    // must refuse, ends the load.
    try {
        addElement(parser, builder.elements, localName, prefix, uri, attributeCount, attributes);
    } catch (...) {
        builder.failed = true;
        xmlStopParser(&parser);
    }
}

void closeElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    builderOf(context).elements.closeElement();
}

/// A document type declaration stops this reading before anything of it is read: such a document
/// is read again with libxml2's validation, which needs libxml2's own tree.
void declareType(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    builderOf(context).declaresType = true;
    xmlStopParser(static_cast<xmlParserCtxt*>(context));
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

ElementTreeBuilder::ElementTreeBuilder(ElementTree& tree, std::size_t size) : tree_(tree) {
    tree_ = ElementTree();
    reserveFor(size, tree_);
    tree_.elements.emplace_back();
}

void ElementTreeBuilder::openElement(const xmlChar* name, bool namespaced) {
    constexpr auto most = std::numeric_limits<ElementTree::Index>::max();
    if (tree_.elements.size() >= most)
        throw std::bad_alloc();
    const auto index = static_cast<ElementTree::Index>(tree_.elements.size());
    ElementTree::Element element;
    element.name = name;
    element.namespaced = namespaced;
    element.parent = open_.back().element;
    element.firstAttribute = static_cast<ElementTree::Index>(tree_.attributes.size());
    element.attributeEnd = element.firstAttribute;
    tree_.elements.push_back(element);

    Open& parent = open_.back();
    if (parent.lastChild == 0)
        tree_.elements[parent.element].firstChild = index;
    else
        tree_.elements[parent.lastChild].nextSibling = index;
    parent.lastChild = index;
    open_.push_back({index, 0});
}

void ElementTreeBuilder::addAttribute(const xmlChar* name, std::string_view value) {
    if (tree_.attributes.size() >= std::numeric_limits<ElementTree::Index>::max())
        throw std::bad_alloc();
    tree_.attributes.push_back({name, tree_.values.size(), value.size()});
    tree_.values.append(value);
    tree_.elements.back().attributeEnd = static_cast<ElementTree::Index>(tree_.attributes.size());
}

void ElementTreeBuilder::closeElement() {
    // The document itself stays open: a stray close from a broken entity cannot pop it.
    if (open_.size() < 2)
        return;
    tree_.elements[open_.back().element].end =
        static_cast<ElementTree::Index>(tree_.elements.size());
    open_.pop_back();
}

bool ElementTreeBuilder::finish(xmlDict* names) {
    if (open_.size() != 1)
        return false;
    tree_.elements.front().end = static_cast<ElementTree::Index>(tree_.elements.size());
    xmlDictReference(names);
    tree_.names.reset(names);
    return true;
}

bool parseElementTree(int fd, std::size_t size, const std::string& location, ElementTree& tree) {
    // libxml2's own handlers still keep the declarations; only the events that would build its
    // tree come here.
    xmlSAXHandler events{};
    xmlSAXVersion(&events, 2);
    events.internalSubset = declareType;
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
    TreeBuilder builder{ElementTreeBuilder(tree, size)};
    parser->_private = &builder;
    xmlParseDocument(parser.get());
    if (parser->myDoc) {
        xmlFreeDoc(parser->myDoc);
        parser->myDoc = nullptr;
    }
    if (builder.declaresType) {
        parser.reset();
        return lseek(fd, 0, SEEK_SET) == 0 && parseValidatedTree(fd, size, location, tree);
    }
    return parser->wellFormed && !builder.failed && builder.elements.finish(parser->dict);
}

} // namespace modRegistryUpdate::posix
