#include "platform/posix/element_tree.h"

#include <limits>
#include <new>

namespace modRegistryUpdate::posix {
namespace {

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

} // namespace

const xmlChar* writtenName(xmlDict* names, const xmlChar* prefix, const xmlChar* localName) {
    const xmlChar* name = xmlDictQLookup(names, prefix, localName);
    if (!name)
        throw std::bad_alloc();
    return name;
}

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

} // namespace modRegistryUpdate::posix
