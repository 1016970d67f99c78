#include "platform/posix/plain_tree.h"

#include "platform/posix/byte_order_mark.h"
#include "platform/posix/libxml_owners.h"
#include "text/file_io.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <utility>

namespace modRegistryUpdate::posix {
namespace {

// Without XML_PARSE_HUGE libxml2 refuses elements nested deeper than 256 and attribute values
// over 10 MB: the bounds that keep a hostile document small. No declaration reaches this reading,
// so there are no entities of the document's own and no attribute defaults; XML_PARSE_NOENT still
// counts: without it libxml2 hands over an `&` written as `&amp;` or `&#38;` in an attribute value
// as the text `&#38;`, for a tree builder to decode again. XML_PARSE_OLD10 takes names by the rules
// of XML 1.0 before its fifth edition, which Windows' reader follows and which allow fewer
// characters than the later ones.
constexpr int parseOptions =
    XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_OLD10 | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

/// Receives the parser's events and records the elements as they open and close.
struct TreeBuilder {
    ElementTreeBuilder elements;
    /// Set when the tree cannot hold the document (too many elements, no memory left) or the
    /// document uses a namespace prefix it never declared.
    bool failed = false;
    /// Set when the document has a document type declaration, which this reading leaves unread.
    bool declaresType = false;
};

TreeBuilder& builderOf(void* context) {
    return *static_cast<TreeBuilder*>(static_cast<xmlParserCtxt*>(context)->_private);
}

/// The name as written, prefix included. libxml2 gives a prefix that no declaration binds no
/// namespace; a name without prefix comes interned already.
const xmlChar* nameOf(xmlParserCtxt& parser, const xmlChar* localName, const xmlChar* prefix,
                      const xmlChar* uri) {
    if (prefix && !uri)
        throw UndeclaredPrefix();
    return prefix ? writtenName(parser.dict, prefix, localName) : localName;
}

void addElement(xmlParserCtxt& parser, ElementTreeBuilder& builder, const xmlChar* localName,
                const xmlChar* prefix, const xmlChar* uri, int attributeCount,
                const xmlChar** attributes) {
    builder.openElement(nameOf(parser, localName, prefix, uri), uri && *uri);
    // Each attribute comes as its local name, prefix, namespace, and the bounds of its value.
    for (int i = 0; i < attributeCount; ++i) {
        const xmlChar* const* fields = attributes + 5 * i;
        const auto* begin = reinterpret_cast<const char*>(fields[3]);
        const auto* end = reinterpret_cast<const char*>(fields[4]);
        builder.addAttribute(nameOf(parser, fields[0], fields[1], fields[2]),
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

/// A document type declaration stops this reading before anything of it is read: validating a
/// document against it needs libxml2's own tree.
void declareType(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    builderOf(context).declaresType = true;
    xmlStopParser(static_cast<xmlParserCtxt*>(context));
}

/// Character data is checked by the parser but never kept: the program reads only elements and
/// attributes, and a document's text then costs no memory and meets no length limit.
void ignoreText(void*, const xmlChar*, int) {}

int readFile(void* context, char* buffer, int length) {
    return static_cast<int>(
        text::readSome(*static_cast<int*>(context), buffer, static_cast<std::size_t>(length)));
}

} // namespace

PlainReading parsePlainTree(int fd, std::size_t size, ElementTree& tree) {
    // The events that would build libxml2's own tree come here instead; the rest keep libxml2's
    // handlers.
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
        return PlainReading::failed;
    xmlCtxtUseOptions(parser.get(), parseOptions);
    TreeBuilder builder{ElementTreeBuilder(tree, size)};
    parser->_private = &builder;
    xmlParseDocument(parser.get());
    // The document libxml2 made holds only what the XML declaration said.
    const OwnedDocument declaration(std::exchange(parser->myDoc, nullptr));
    if (builder.declaresType)
        return PlainReading::declaresType;
    // libxml2 reports a broken namespace constraint and reads on; for a namespace-aware reader
    // the document is not well-formed.
    const bool wellFormed =
        parser->wellFormed && parser->nsWellFormed &&
        markAgreesWithDeclaration(fd, declaration ? declaration->encoding : nullptr);
    return wellFormed && !builder.failed && builder.elements.finish(parser->dict)
               ? PlainReading::loaded
               : PlainReading::failed;
}

} // namespace modRegistryUpdate::posix
