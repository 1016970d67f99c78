#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace modRegistryUpdate {

class XmlNode;
using XmlNodeList = std::vector<std::unique_ptr<XmlNode>>;

/// A node of a loaded document: the document itself or one of its elements.
class XmlNode {
public:
    virtual ~XmlNode() = default;

    /// The nodes an XPath 1.0 expression selects from this node, in document order. A
    /// malformed expression or a failing service raises a Failure.
    virtual XmlNodeList selectNodes(const std::string& expression) const = 0;
    /// The attribute's decoded text, or no value when the element has no such attribute.
    virtual std::optional<std::string> getAttribute(const std::string& name) const = 0;
    /// Where the element stands in its document, as a location path with positions.
    virtual std::string locationPath() const = 0;
};

/// A document that loads synchronously.
class XmlDocument : public XmlNode {
public:
    /// Loads from a location (a file path). Returns false, without raising, when the location
    /// cannot be read or does not hold well-formed XML.
    virtual bool load(const std::string& location) = 0;
};

/// Creates empty documents.
class XmlService {
public:
    virtual ~XmlService() = default;

    /// A new empty document, with synchronous loading. A failing service raises a Failure.
    virtual std::unique_ptr<XmlDocument> createDocument() = 0;
};

} // namespace modRegistryUpdate
