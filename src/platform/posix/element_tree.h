#pragma once

#include "platform/posix/libxml_owners.h"

#include <cstdint>
#include <libxml/tree.h>
#include <string>
#include <string_view>
#include <vector>

namespace modRegistryUpdate::posix {

/// All the program reads of a document: its elements in document order, each with its
/// attributes. Names are interned in one dictionary, so equal names are the same pointer.
struct ElementTree {
    using Index = std::uint32_t;

    struct Element {
        const xmlChar* name = nullptr; ///< as written, prefix included; null for the document
        bool namespaced = false;       ///< whether it lies in a namespace
        Index parent = 0;
        Index firstChild = 0;  ///< 0 when it has none: the document is no one's child
        Index nextSibling = 0; ///< 0 when it is the last
        Index end = 0;         ///< one past its last descendant
        Index firstAttribute = 0;
        Index attributeEnd = 0;
    };

    struct Attribute {
        const xmlChar* name = nullptr; ///< as written, prefix included
        std::size_t valueStart = 0;
        std::size_t valueSize = 0;
    };

    /// [0] is the document itself; an element's descendants follow it up to its `end`.
    std::vector<Element> elements;
    std::vector<Attribute> attributes;
    std::string values; ///< every attribute's decoded text, one after another
    OwnedDictionary names;

    std::string_view valueOf(const Attribute& attribute) const {
        return std::string_view(values).substr(attribute.valueStart, attribute.valueSize);
    }
};

/// Fills a tree with elements and their attributes in document order, for either reader of a
/// document. Each call throws std::bad_alloc when the tree cannot grow.
class ElementTreeBuilder {
public:
    /// Empties `tree` and makes room for a document of `size` bytes.
    ElementTreeBuilder(ElementTree& tree, std::size_t size);

    /// Opens a child of the innermost open element (of the document at first).
    void openElement(const xmlChar* name, bool namespaced);
    /// Gives the element just opened an attribute; `name` is interned in the tree's names.
    void addAttribute(const xmlChar* name, std::string_view value);
    void closeElement();
    /// Ends the document with the tree's `names`; false when an element was left open.
    bool finish(xmlDict* names);

private:
    ElementTree& tree_;
    /// The open elements, innermost last, each with its last child so far.
    struct Open {
        ElementTree::Index element;
        ElementTree::Index lastChild;
    };
    std::vector<Open> open_{{0, 0}};
};

/// Windows' MSXML refuses a name whose prefix no namespace declaration binds, where libxml2 only
/// warns: a reader raises this for such a name, and the document does not load.
struct UndeclaredPrefix {};

/// The name as written, `prefix:localName` or `localName` alone when `prefix` is null, interned in
/// `names`, so that the tree holds each name once. Throws std::bad_alloc when it cannot be.
const xmlChar* writtenName(xmlDict* names, const xmlChar* prefix, const xmlChar* localName);

} // namespace modRegistryUpdate::posix
