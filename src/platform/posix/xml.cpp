#include "platform/posix/xml.h"

#include "run/failure.h"

#include <fcntl.h>
#include <libxml/parser.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>
#include <map>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace modRegistryUpdate::posix {
namespace {

template <typename T, void (*release)(T*)> struct Releaser {
    void operator()(T* owned) const { release(owned); }
};
template <typename T, void (*release)(T*)> using Owned = std::unique_ptr<T, Releaser<T, release>>;

void freeText(xmlChar* text) {
    xmlFree(text);
}

using OwnedDocument = Owned<xmlDoc, xmlFreeDoc>;
using OwnedParser = Owned<xmlParserCtxt, xmlFreeParserCtxt>;
using OwnedXPath = Owned<xmlXPathContext, xmlXPathFreeContext>;
using OwnedExpression = Owned<xmlXPathCompExpr, xmlXPathFreeCompExpr>;
using OwnedResult = Owned<xmlXPathObject, xmlXPathFreeObject>;
using OwnedText = Owned<xmlChar, freeText>;

const char* chars(const xmlChar* text) {
    return reinterpret_cast<const char*>(text);
}

const xmlChar* xmlText(const std::string& text) {
    return reinterpret_cast<const xmlChar*>(text.c_str());
}

void ignoreMessage(void*, const char*, ...) {}
void ignoreError(void*, xmlErrorPtr) {}

/// Every external entity, DTD and XInclude goes through here and is refused: the entity reads as
/// empty and the document still loads, as it does on Windows under Wine.
xmlParserInputPtr refuseExternal(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

/// Character data is checked by the parser but never kept: the program reads only elements and
/// attributes, and a document's text then costs no memory and meets no length limit.
void ignoreText(void*, const xmlChar*, int) {}

// Entities are expanded as the Windows parser expands them. Without XML_PARSE_HUGE libxml2
// refuses an entity whose expansion outgrows its references, elements nested deeper than 256
// and attribute values over 10 MB: the bounds that keep a hostile document small.
constexpr int parseOptions =
    XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_DTDATTR | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

/// The parsed document and its compiled selections, shared by every node handed out.
struct LoadedDocument {
    OwnedDocument tree;
    OwnedXPath xpath;
    // The same few selections are evaluated for every device: each is compiled once.
    std::map<std::string, OwnedExpression> expressions;

    xmlXPathCompExpr& compiled(const std::string& expression) {
        auto found = expressions.find(expression);
        if (found == expressions.end()) {
            OwnedExpression compiled(xmlXPathCtxtCompile(xpath.get(), xmlText(expression)));
            if (!compiled)
                throw Failure("Invalid selection \"" + expression + "\"");
            found = expressions.emplace(expression, std::move(compiled)).first;
        }
        return *found->second;
    }
};

class LibXmlNode : public XmlNode {
public:
    LibXmlNode(xmlNode* node, LoadedDocument& document) : node_(node), document_(document) {}

    XmlNodeList selectNodes(const std::string& expression) const override {
        return select(node_, document_, expression);
    }

    std::optional<std::string> getAttribute(const std::string& name) const override {
        return attributeOf(node_, name);
    }

    std::string locationPath() const override { return pathOf(node_); }

    static XmlNodeList select(xmlNode* context, LoadedDocument& document,
                              const std::string& expression) {
        xmlXPathCompExpr& compiled = document.compiled(expression);
        document.xpath->node = context;
        OwnedResult result(xmlXPathCompiledEval(&compiled, document.xpath.get()));
        if (!result || result->type != XPATH_NODESET)
            throw Failure("Selection \"" + expression + "\" does not give nodes");
        XmlNodeList nodes;
        xmlNodeSet* set = result->nodesetval;
        if (!set)
            return nodes;
        xmlXPathNodeSetSort(set);
        nodes.reserve(static_cast<std::size_t>(set->nodeNr));
        for (int i = 0; i < set->nodeNr; ++i) {
            // A namespace node is a copy that dies with the result: it cannot be handed out.
            if (set->nodeTab[i]->type != XML_NAMESPACE_DECL)
                nodes.push_back(std::make_unique<LibXmlNode>(set->nodeTab[i], document));
        }
        return nodes;
    }

    /// The attribute whose qualified name is `name`, prefix included, as the DOM matches it.
    static std::optional<std::string> attributeOf(xmlNode* node, const std::string& name) {
        if (node->type != XML_ELEMENT_NODE)
            return std::nullopt;
        for (xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
            if (!isNamed(*attribute, name))
                continue;
            OwnedText value(xmlNodeGetContent(reinterpret_cast<xmlNode*>(attribute)));
            return std::string(value ? chars(value.get()) : "");
        }
        return std::nullopt;
    }

    static bool isNamed(const xmlAttr& attribute, std::string_view name) {
        if (attribute.ns && attribute.ns->prefix) {
            const std::string_view prefix = chars(attribute.ns->prefix);
            if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix ||
                name[prefix.size()] != ':')
                return false;
            name.remove_prefix(prefix.size() + 1);
        }
        return name == chars(attribute.name);
    }

    static std::string pathOf(xmlNode* node) {
        OwnedText path(xmlGetNodePath(node));
        return path ? chars(path.get()) : std::string();
    }

private:
    xmlNode* node_;
    LoadedDocument& document_;
};

class LibXmlDocument : public XmlDocument {
public:
    bool load(const std::string& location) override {
        document_ = LoadedDocument();
        const int fd = open(location.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        struct stat status {};
        // A directory or a device is not a document.
        const bool regular = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
        OwnedParser parser(regular ? xmlNewParserCtxt() : nullptr);
        if (parser) {
            parser->sax->characters = ignoreText;
            parser->sax->ignorableWhitespace = ignoreText;
            parser->sax->cdataBlock = ignoreText;
        }
        // The file is read as it is parsed, so a large document is never held twice.
        OwnedDocument tree(parser ? xmlCtxtReadFd(parser.get(), fd, nullptr, nullptr, parseOptions)
                                  : nullptr);
        close(fd);
        // An undeclared namespace prefix is well-formed XML 1.0 and loads, as on Windows.
        if (!tree || !parser->wellFormed)
            return false;
        OwnedXPath xpath(xmlXPathNewContext(tree.get()));
        if (!xpath)
            return false;
        // Numbers the elements, so that putting a selection in document order compares numbers.
        xmlXPathOrderDocElems(tree.get());
        document_.tree = std::move(tree);
        document_.xpath = std::move(xpath);
        return true;
    }

    XmlNodeList selectNodes(const std::string& expression) const override {
        if (!document_.tree)
            return {};
        return LibXmlNode::select(reinterpret_cast<xmlNode*>(document_.tree.get()), document_,
                                  expression);
    }

    std::optional<std::string> getAttribute(const std::string&) const override {
        return std::nullopt;
    }

    std::string locationPath() const override { return "/"; }

private:
    mutable LoadedDocument document_;
};

} // namespace

LibXmlService::LibXmlService() {
    xmlInitParser();
    xmlSetGenericErrorFunc(nullptr, ignoreMessage);
    xmlSetStructuredErrorFunc(nullptr, ignoreError);
    xmlSetExternalEntityLoader(refuseExternal);
}

std::unique_ptr<XmlDocument> LibXmlService::createDocument() {
    return std::make_unique<LibXmlDocument>();
}

} // namespace modRegistryUpdate::posix
