#include "platform/posix/xml.h"

#include "platform/posix/element_selection.h"
#include "platform/posix/element_tree.h"
#include "platform/posix/local_entities.h"
#include "platform/posix/plain_tree.h"
#include "platform/posix/validated_tree.h"
#include "text/file_io.h"

#include <cstring>
#include <libxml/parser.h>
#include <optional>
#include <unistd.h>

namespace modRegistryUpdate::posix {
namespace {

void ignoreMessage(void*, const char*, ...) {}
void ignoreError(void*, xmlErrorPtr) {}

XmlElementList elementsAt(const ElementTree& tree, const std::vector<ElementTree::Index>& indices);

class TreeElement : public XmlElement {
public:
    TreeElement(const ElementTree& tree, ElementTree::Index index) : tree_(tree), index_(index) {}

    XmlElementList selectElements(const ElementPath& path) const override {
        return elementsAt(tree_, posix::selectElements(tree_, index_, path));
    }

    /// The attribute whose name as written, prefix included, is `name`, as the DOM matches it.
    std::optional<std::string> getAttribute(const std::string& name) const override {
        const ElementTree::Element& element = tree_.elements[index_];
        for (auto i = element.firstAttribute; i < element.attributeEnd; ++i) {
            const ElementTree::Attribute& attribute = tree_.attributes[i];
            if (std::strcmp(name.c_str(), reinterpret_cast<const char*>(attribute.name)) == 0)
                return std::string(tree_.valueOf(attribute));
        }
        return std::nullopt;
    }

    std::string name() const override {
        return reinterpret_cast<const char*>(tree_.elements[index_].name);
    }

    ElementPlace place() const override {
        const ElementTree::Element& own = tree_.elements[index_];
        ElementPlace place{reinterpret_cast<const char*>(own.name), own.namespaced, {1, 0}, {1, 0}};
        // The document's only child element is the document element itself.
        for (ElementTree::Index sibling = tree_.elements[own.parent].firstChild; sibling != 0;
             sibling = tree_.elements[sibling].nextSibling) {
            const ElementTree::Element& other = tree_.elements[sibling];
            const bool namesake = other.name == own.name && other.namespaced == own.namespaced;
            const std::size_t before = sibling < index_ ? 1 : 0;
            place.amongElements.position += before;
            place.amongElements.count += 1;
            place.amongNamesakes.position += namesake ? before : 0;
            place.amongNamesakes.count += namesake ? 1 : 0;
        }
        return place;
    }

    std::unique_ptr<XmlElement> parent() const override {
        const ElementTree::Index parent = tree_.elements[index_].parent;
        return parent == 0 ? nullptr : std::make_unique<TreeElement>(tree_, parent);
    }

private:
    const ElementTree& tree_;
    ElementTree::Index index_;
};

XmlElementList elementsAt(const ElementTree& tree, const std::vector<ElementTree::Index>& indices) {
    XmlElementList elements;
    elements.reserve(indices.size());
    for (ElementTree::Index index : indices)
        elements.push_back(std::make_unique<TreeElement>(tree, index));
    return elements;
}

class TreeDocument : public XmlDocument {
public:
    XmlElementList selectElements(const ElementPath& path) const override {
        return elementsAt(tree, posix::selectElements(tree, 0, path));
    }

    ElementTree tree;
};

/// Reads the document plainly, and one with a document type declaration again from its start,
/// validated against the declaration. False when it does not load.
bool parseTree(const text::RegularFile& file, const std::string& location, ElementTree& tree) {
    const int fd = file.fd.get();
    switch (parsePlainTree(fd, file.size, tree)) {
    case PlainReading::loaded:
        return true;
    case PlainReading::declaresType:
        return lseek(fd, 0, SEEK_SET) == 0 && parseValidatedTree(fd, file.size, location, tree);
    case PlainReading::failed:
        break;
    }
    return false;
}

class TreeLoader : public XmlLoader {
public:
    std::unique_ptr<XmlDocument> load(const std::string& location) override {
        const std::optional<text::RegularFile> file = text::openRegularFile(location);
        if (!file)
            return nullptr;
        auto document = std::make_unique<TreeDocument>();
        return parseTree(*file, location, document->tree) ? std::move(document) : nullptr;
    }
};

} // namespace

LibXmlService::LibXmlService() {
    xmlInitParser();
    xmlSetGenericErrorFunc(nullptr, ignoreMessage);
    xmlSetStructuredErrorFunc(nullptr, ignoreError);
    xmlSetExternalEntityLoader(loadLocalEntity);
}

std::unique_ptr<XmlLoader> LibXmlService::createDocument() {
    return std::make_unique<TreeLoader>();
}

} // namespace modRegistryUpdate::posix
