#include "platform/posix/pugi_xml.h"

#include "platform/failure.h"

#include <pugixml.hpp>
#include <sys/stat.h>

namespace modRegistryUpdate::posix {
namespace {

XmlNodeList selectFrom(const pugi::xml_node& context, const std::string& expression);

class PugiElement : public XmlNode {
public:
    explicit PugiElement(pugi::xml_node node) : node_(node) {}

    XmlNodeList selectNodes(const std::string& expression) const override {
        return selectFrom(node_, expression);
    }

    std::optional<std::string> getAttribute(const std::string& name) const override {
        const pugi::xml_attribute attribute = node_.attribute(name.c_str());
        if (!attribute)
            return std::nullopt;
        return std::string(attribute.value());
    }

private:
    pugi::xml_node node_;
};

XmlNodeList selectFrom(const pugi::xml_node& context, const std::string& expression) {
    pugi::xpath_node_set selected;
    try {
        selected = context.select_nodes(expression.c_str());
    } catch (const pugi::xpath_exception& error) {
        throw Failure(std::string("Invalid selection \"") + expression + "\": " + error.what());
    }
    selected.sort();
    XmlNodeList nodes;
    nodes.reserve(selected.size());
    for (const pugi::xpath_node& item : selected) {
        if (item.node())
            nodes.push_back(std::make_unique<PugiElement>(item.node()));
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
        return selectFrom(document_, expression);
    }

    std::optional<std::string> getAttribute(const std::string&) const override {
        return std::nullopt;
    }

private:
    pugi::xml_document document_;
};

} // namespace

std::unique_ptr<XmlDocument> PugiXmlService::createDocument() {
    return std::make_unique<PugiDocument>();
}

} // namespace modRegistryUpdate::posix
