#include "platform/posix/xml.h"

#include "platform/posix/element_selection.h"
#include "platform/posix/element_tree.h"
#include "platform/posix/local_entities.h"

#include <cstring>
#include <fcntl.h>
#include <libxml/parser.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace modRegistryUpdate::posix {
namespace {

void ignoreMessage(void*, const char*, ...) {}
void ignoreError(void*, xmlErrorPtr) {}

/// A loaded document and its selections, shared by every node handed out.
struct LoadedDocument {
    ElementTree tree;
    // The same few selections are made for every device: each is read once.
    std::map<std::string, ElementSelection> selections;

    const ElementSelection& selection(const std::string& expression) {
        auto found = selections.find(expression);
        if (found == selections.end())
            found = selections.emplace(expression, compileSelection(expression, tree)).first;
        return found->second;
    }
};

/// The element's step: its name, with its 1-based position among the sibling elements of that
/// name when there is more than one. An unprefixed name in a namespace cannot be written as a
/// name, so it is "*", counted among all sibling elements.
std::string stepOf(const ElementTree& tree, ElementTree::Index index) {
    const ElementTree::Element& own = tree.elements[index];
    const char* name = reinterpret_cast<const char*>(own.name);
    const bool anyName = own.namespaced && !std::strchr(name, ':');
    const auto sameStep = [&](const ElementTree::Element& sibling) {
        return anyName || (sibling.name == own.name && sibling.namespaced == own.namespaced);
    };
    std::size_t position = 1;
    ElementTree::Index sibling = tree.elements[own.parent].firstChild;
    for (; sibling != index; sibling = tree.elements[sibling].nextSibling)
        position += sameStep(tree.elements[sibling]) ? 1 : 0;
    bool numbered = position > 1;
    for (sibling = own.nextSibling; sibling != 0 && !numbered;
         sibling = tree.elements[sibling].nextSibling)
        numbered = sameStep(tree.elements[sibling]);
    std::string step = anyName ? "*" : name;
    if (numbered)
        step += "[" + std::to_string(position) + "]";
    return step;
}

class TreeNode : public XmlNode {
public:
    TreeNode(LoadedDocument& document, ElementTree::Index index)
        : document_(document), index_(index) {}

    XmlNodeList selectNodes(const std::string& expression) const override {
        return select(document_, index_, expression);
    }

    /// The attribute whose name as written, prefix included, is `name`, as the DOM matches it.
    std::optional<std::string> getAttribute(const std::string& name) const override {
        const ElementTree& tree = document_.tree;
        const ElementTree::Element& element = tree.elements[index_];
        for (auto i = element.firstAttribute; i < element.attributeEnd; ++i) {
            const ElementTree::Attribute& attribute = tree.attributes[i];
            if (std::strcmp(name.c_str(), reinterpret_cast<const char*>(attribute.name)) == 0)
                return std::string(tree.valueOf(attribute));
        }
        return std::nullopt;
    }

    /// One step per element from the document element down.
    std::string locationPath() const override {
        std::vector<ElementTree::Index> lineage;
        for (auto index = index_; index != 0; index = document_.tree.elements[index].parent)
            lineage.push_back(index);
        std::string path;
        for (auto index = lineage.rbegin(); index != lineage.rend(); ++index)
            path += "/" + stepOf(document_.tree, *index);
        return path;
    }

    static XmlNodeList select(LoadedDocument& document, ElementTree::Index context,
                              const std::string& expression) {
        const auto reached = selectElements(document.tree, context, document.selection(expression));
        XmlNodeList nodes;
        nodes.reserve(reached.size());
        for (ElementTree::Index index : reached)
            nodes.push_back(std::make_unique<TreeNode>(document, index));
        return nodes;
    }

private:
    LoadedDocument& document_;
    ElementTree::Index index_;
};

class TreeDocument : public XmlDocument {
public:
    bool load(const std::string& location) override {
        document_.reset();
        // Not blocking: a named pipe with no writer must not hold the run; it is no document anyway.
        const int fd = open(location.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            return false;
        struct stat status {};
        // A directory or a device is not a document.
        auto loaded = std::make_unique<LoadedDocument>();
        const bool parsed =
            fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
            parseElementTree(fd, static_cast<std::size_t>(status.st_size), location, loaded->tree);
        close(fd);
        if (parsed)
            document_ = std::move(loaded);
        return parsed;
    }

    XmlNodeList selectNodes(const std::string& expression) const override {
        return document_ ? TreeNode::select(*document_, 0, expression) : XmlNodeList();
    }

    std::optional<std::string> getAttribute(const std::string&) const override {
        return std::nullopt;
    }

    std::string locationPath() const override { return "/"; }

private:
    std::unique_ptr<LoadedDocument> document_;
};

} // namespace

LibXmlService::LibXmlService() {
    xmlInitParser();
    xmlSetGenericErrorFunc(nullptr, ignoreMessage);
    xmlSetStructuredErrorFunc(nullptr, ignoreError);
    xmlSetExternalEntityLoader(loadLocalEntity);
}

std::unique_ptr<XmlDocument> LibXmlService::createDocument() {
    return std::make_unique<TreeDocument>();
}

} // namespace modRegistryUpdate::posix
