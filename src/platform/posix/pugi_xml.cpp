#include "platform/posix/pugi_xml.h"

#include "platform/failure.h"

#include <map>
#include <pugixml.hpp>
#include <sys/stat.h>

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

private:
    pugi::xml_document document_;
    mutable CompiledQueries queries_;
};

} // namespace

std::unique_ptr<XmlDocument> PugiXmlService::createDocument() {
    return std::make_unique<PugiDocument>();
}

} // namespace modRegistryUpdate::posix
