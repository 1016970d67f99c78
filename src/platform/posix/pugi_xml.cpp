#include "platform/posix/pugi_xml.h"

#include "platform/failure.h"

#include <cstring>
#include <map>
#include <pugixml.hpp>
#include <sys/stat.h>
#include <vector>

namespace modRegistryUpdate::posix {
namespace {

/// The document's selection expressions, each compiled once: the same few are evaluated for
/// every device.
class CompiledQueries {
public:
    /// The compiled expression; a malformed one raises pugi::xpath_exception.
    const pugi::xpath_query& operator[](const std::string& expression) {
        auto found = queries_.find(expression);
        if (found == queries_.end())
            found = queries_.try_emplace(expression, expression.c_str()).first;
        return found->second;
    }

private:
    std::map<std::string, pugi::xpath_query> queries_;
};

XmlNodeList selectFrom(const pugi::xml_node& context, const std::string& expression,
                       CompiledQueries& queries);

/// Whether the element lies in a namespace, given whether a default one is in force around it.
/// pugixml keeps names as written, so the declarations are read here.
bool inNamespace(const pugi::xml_node& element, bool defaultInForce) {
    if (std::strchr(element.name(), ':'))
        return true;
    const pugi::xml_attribute declared = element.attribute("xmlns");
    return declared ? *declared.value() != '\0' : defaultInForce;
}

/// The element's step: its name, with its 1-based position among the sibling elements of that
/// name when there is more than one. An unprefixed name in a namespace cannot be written as a
/// name, so it is "*", counted among all sibling elements.
std::string stepOf(const pugi::xml_node& element, bool defaultInForce) {
    const bool namespaced = inNamespace(element, defaultInForce);
    const bool anyName = namespaced && !std::strchr(element.name(), ':');
    const auto sameStep = [&](const pugi::xml_node& sibling) {
        return sibling.type() == pugi::node_element &&
               (anyName || (std::strcmp(sibling.name(), element.name()) == 0 &&
                            inNamespace(sibling, defaultInForce) == namespaced));
    };
    std::size_t position = 1;
    for (pugi::xml_node sibling = element.previous_sibling(); sibling;
         sibling = sibling.previous_sibling())
        position += sameStep(sibling) ? 1 : 0;
    bool numbered = position > 1;
    for (pugi::xml_node sibling = element.next_sibling(); sibling && !numbered;
         sibling = sibling.next_sibling())
        numbered = sameStep(sibling);
    std::string step = anyName ? "*" : element.name();
    if (numbered)
        step += "[" + std::to_string(position) + "]";
    return step;
}

/// "/" for the document, else one step per element from the document element down.
std::string locationPathOf(const pugi::xml_node& node) {
    std::vector<pugi::xml_node> lineage;
    for (pugi::xml_node element = node; element.type() == pugi::node_element;
         element = element.parent())
        lineage.push_back(element);
    if (lineage.empty())
        return "/";
    std::string path;
    bool defaultInForce = false;
    for (auto element = lineage.rbegin(); element != lineage.rend(); ++element) {
        path += "/" + stepOf(*element, defaultInForce);
        const pugi::xml_attribute declared = element->attribute("xmlns");
        if (declared)
            defaultInForce = *declared.value() != '\0';
    }
    return path;
}

class PugiElement : public XmlNode {
public:
    PugiElement(pugi::xml_node node, CompiledQueries& queries) : node_(node), queries_(queries) {}

    XmlNodeList selectNodes(const std::string& expression) const override {
        return selectFrom(node_, expression, queries_);
    }

    std::optional<std::string> getAttribute(const std::string& name) const override {
        const pugi::xml_attribute attribute = node_.attribute(name.c_str());
        if (!attribute)
            return std::nullopt;
        return std::string(attribute.value());
    }

    std::string locationPath() const override { return locationPathOf(node_); }

private:
    pugi::xml_node node_;
    CompiledQueries& queries_;
};

XmlNodeList selectFrom(const pugi::xml_node& context, const std::string& expression,
                       CompiledQueries& queries) {
    pugi::xpath_node_set selected;
    try {
        selected = queries[expression].evaluate_node_set(context);
    } catch (const pugi::xpath_exception& error) {
        throw Failure("Invalid selection \"" + expression + "\": " + error.what());
    }
    selected.sort();
    XmlNodeList nodes;
    nodes.reserve(selected.size());
    for (const pugi::xpath_node& item : selected) {
        if (item.node())
            nodes.push_back(std::make_unique<PugiElement>(item.node(), queries));
    }
    return nodes;
}

class PugiDocument : public XmlDocument {
public:
    bool load(const std::string& location) override {
        // pugixml sizes its buffer from the file's length, which a directory does not have.
        struct stat status {};
        if (stat(location.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            return false;
        return document_.load_file(location.c_str());
    }

    XmlNodeList selectNodes(const std::string& expression) const override {
        return selectFrom(document_, expression, queries_);
    }

    std::optional<std::string> getAttribute(const std::string&) const override {
        return std::nullopt;
    }

    std::string locationPath() const override { return locationPathOf(document_); }

private:
    pugi::xml_document document_;
    mutable CompiledQueries queries_;
};

} // namespace

std::unique_ptr<XmlDocument> PugiXmlService::createDocument() {
    return std::make_unique<PugiDocument>();
}

} // namespace modRegistryUpdate::posix
