#include "platform/windows/xml.h"

#include "platform/windows/com_support.h"
#include "platform/windows/wide_text.h"

#include <msxml2.h>
#include <wrl/client.h>

// MinGW's msxml2.h names these interfaces without their identifiers; the values are MSXML's own.
__CRT_UUID_DECL(IXMLDOMNode, 0x2933bf80, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e,
                0x60)
__CRT_UUID_DECL(IXMLDOMDocument, 0x2933bf81, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98,
                0x3e, 0x60)
__CRT_UUID_DECL(IXMLDOMElement, 0x2933bf86, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98,
                0x3e, 0x60)

namespace modRegistryUpdate::windows {
namespace {

using Microsoft::WRL::ComPtr;

// DOMDocument30, the MSXML 3.0 document class.
const CLSID domDocument30 = {
    0xf5078f32, 0xc551, 0x11d3, {0x89, 0xb9, 0x00, 0x00, 0xf8, 0x1f, 0xe2, 0x21}};

/// The node a DOM accessor (parent, previous or next sibling) leads to; empty when none.
template <typename Accessor> ComPtr<IXMLDOMNode> related(IXMLDOMNode& node, Accessor accessor) {
    ComPtr<IXMLDOMNode> found;
    throwIfFailed((node.*accessor)(found.GetAddressOf()));
    return found;
}

bool isElement(IXMLDOMNode& node) {
    DOMNodeType type = NODE_INVALID;
    throwIfFailed(node.get_nodeType(&type));
    return type == NODE_ELEMENT;
}

/// An element's name as written (with its prefix), and whether it lies in a namespace.
struct ElementName {
    std::string written;
    bool namespaced;

    bool operator==(const ElementName& other) const {
        return written == other.written && namespaced == other.namespaced;
    }
};

ElementName nameOf(IXMLDOMNode& element) {
    _bstr_t name;
    _bstr_t uri;
    throwIfFailed(element.get_nodeName(name.GetAddress()));
    throwIfFailed(element.get_namespaceURI(uri.GetAddress()));
    return {utf8Of(name), uri.length() > 0};
}

/// The path in MSXML's default selection language, from the node it is selected from: `./A/B`,
/// `.//A`.
std::string selectionOf(const ElementPath& path) {
    std::string expression = ".";
    for (const ElementStep& step : path.steps)
        expression += (step.axis == ElementStep::Axis::descendant ? "//" : "/") + step.name;
    return expression;
}

XmlElementList selectFrom(IXMLDOMNode& node, const ElementPath& path);

class MsxmlElement : public XmlElement {
public:
    explicit MsxmlElement(ComPtr<IXMLDOMNode> node) : node_(std::move(node)) {}

    XmlElementList selectElements(const ElementPath& path) const override {
        return selectFrom(*node_.Get(), path);
    }

    std::optional<std::string> getAttribute(const std::string& name) const override {
        ComPtr<IXMLDOMElement> element;
        if (FAILED(node_.As(&element)))
            return std::nullopt;
        _variant_t value;
        throwIfFailed(element->getAttribute(bstrOf(name), &value));
        if (value.vt != VT_BSTR)
            return std::nullopt;
        return utf8Of(value.bstrVal);
    }

    std::string name() const override { return nameOf(*node_.Get()).written; }

    ElementPlace place() const override {
        const ElementName own = nameOf(*node_.Get());
        ElementPlace place{own.written, own.namespaced, {1, 1}, {1, 1}};
        const auto count = [&](IXMLDOMNode& sibling, std::size_t before) {
            if (!isElement(sibling))
                return;
            const bool namesake = nameOf(sibling) == own;
            place.amongElements.position += before;
            place.amongElements.count += 1;
            place.amongNamesakes.position += namesake ? before : 0;
            place.amongNamesakes.count += namesake ? 1 : 0;
        };
        for (auto sibling = related(*node_.Get(), &IXMLDOMNode::get_previousSibling); sibling;
             sibling = related(*sibling.Get(), &IXMLDOMNode::get_previousSibling))
            count(*sibling.Get(), 1);
        for (auto sibling = related(*node_.Get(), &IXMLDOMNode::get_nextSibling); sibling;
             sibling = related(*sibling.Get(), &IXMLDOMNode::get_nextSibling))
            count(*sibling.Get(), 0);
        return place;
    }

    std::unique_ptr<XmlElement> parent() const override {
        ComPtr<IXMLDOMNode> parent = related(*node_.Get(), &IXMLDOMNode::get_parentNode);
        // The document element's parent is the document.
        if (!parent || !isElement(*parent.Get()))
            return nullptr;
        return std::make_unique<MsxmlElement>(std::move(parent));
    }

private:
    ComPtr<IXMLDOMNode> node_;
};

XmlElementList selectFrom(IXMLDOMNode& node, const ElementPath& path) {
    ComPtr<IXMLDOMNodeList> list;
    throwIfFailed(node.selectNodes(bstrOf(selectionOf(path)), &list));
    long length = 0;
    throwIfFailed(list->get_length(&length));
    XmlElementList elements;
    elements.reserve(static_cast<std::size_t>(length));
    for (long i = 0; i < length; ++i) {
        ComPtr<IXMLDOMNode> item;
        throwIfFailed(list->get_item(i, &item));
        elements.push_back(std::make_unique<MsxmlElement>(std::move(item)));
    }
    return elements;
}

class MsxmlDocument : public XmlDocument {
public:
    explicit MsxmlDocument(ComPtr<IXMLDOMDocument> document) : document_(std::move(document)) {}

    XmlElementList selectElements(const ElementPath& path) const override {
        return selectFrom(*document_.Get(), path);
    }

private:
    ComPtr<IXMLDOMDocument> document_;
};

class MsxmlLoader : public XmlLoader {
public:
    explicit MsxmlLoader(ComPtr<IXMLDOMDocument> document) : document_(std::move(document)) {}

    std::unique_ptr<XmlDocument> load(const std::string& location) override {
        const _variant_t source(bstrOf(location));
        VARIANT_BOOL loaded = VARIANT_FALSE;
        // A location that cannot be read or parsed is a failed load, never a failure.
        if (FAILED(document_->load(source, &loaded)) || loaded != VARIANT_TRUE)
            return nullptr;
        return std::make_unique<MsxmlDocument>(document_);
    }

private:
    ComPtr<IXMLDOMDocument> document_;
};

} // namespace

std::unique_ptr<XmlLoader> MsxmlService::createDocument() {
    ComPtr<IXMLDOMDocument> document;
    throwIfFailed(
        CoCreateInstance(domDocument30, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&document)));
    throwIfFailed(document->put_async(VARIANT_FALSE));
    return std::make_unique<MsxmlLoader>(std::move(document));
}

} // namespace modRegistryUpdate::windows
