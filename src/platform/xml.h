#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace modRegistryUpdate {

class XmlElement;
using XmlElementList = std::vector<std::unique_ptr<XmlElement>>;

/// One step of an element path: the children, or all the descendants, of each element reached so
/// far that are written with `name`, a name without prefix, in whatever namespace they lie;
/// `anyName` reaches every element.
struct ElementStep {
    enum class Axis { child, descendant };
    /// No element can be written with this name.
    static constexpr const char* anyName = "*";
    Axis axis;
    std::string name;
};

/// The only selections the program makes: a path of element names, taken from the document or
/// element it is selected from. It has at least one step.
struct ElementPath {
    std::vector<ElementStep> steps;
};

/// Where an element stands in a row of its siblings: its 1-based position and the row's length.
struct SiblingRank {
    std::size_t position;
    std::size_t count;
};

/// An element's name and where it stands among its parent's child elements; the document element
/// stands alone.
struct ElementPlace {
    std::string name; ///< as written, prefix included
    bool namespaced;  ///< whether it lies in a namespace
    SiblingRank amongElements;
    /// Among the sibling elements written with the same name and alike in being namespaced.
    SiblingRank amongNamesakes;
};

/// An element of a loaded document, valid while its document is.
class XmlElement {
public:
    virtual ~XmlElement() = default;

    /// The elements the path reaches from this element, in document order, each once. A failing
    /// service raises a Failure.
    virtual XmlElementList selectElements(const ElementPath& path) const = 0;
    /// The attribute's decoded text, or no value when the element has no such attribute.
    virtual std::optional<std::string> getAttribute(const std::string& name) const = 0;
    /// Its name as written, prefix included, without counting its siblings. A failing service
    /// raises a Failure.
    virtual std::string name() const = 0;
    /// Its name and place among its siblings. A failing service raises a Failure.
    virtual ElementPlace place() const = 0;
    /// The element holding it, or none for the document element. A failing service raises.
    virtual std::unique_ptr<XmlElement> parent() const = 0;
};

/// A document that loaded.
class XmlDocument {
public:
    virtual ~XmlDocument() = default;

    /// The elements the path reaches from the document, as `XmlElement::selectElements`.
    virtual XmlElementList selectElements(const ElementPath& path) const = 0;
};

/// An empty document that loads synchronously, once.
class XmlLoader {
public:
    virtual ~XmlLoader() = default;

    /// Loads from a location (a file path): the document, or none, without raising, when the
    /// location cannot be read or does not hold well-formed XML.
    virtual std::unique_ptr<XmlDocument> load(const std::string& location) = 0;
};

/// Creates empty documents.
class XmlService {
public:
    virtual ~XmlService() = default;

    /// A new empty document, with synchronous loading. A failing service raises a Failure.
    virtual std::unique_ptr<XmlLoader> createDocument() = 0;
};

} // namespace modRegistryUpdate
