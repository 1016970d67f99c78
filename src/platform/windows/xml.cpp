#include "platform/windows/xml.h"

#include "platform/windows/com_support.h"
#include "platform/windows/wide_text.h"

#include <msxml2.h>
#include <vector>
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
};

ElementName nameOf(IXMLDOMNode& element) {
    _bstr_t name;
    _bstr_t uri;
    throwIfFailed(element.get_nodeName(name.GetAddress()));
    throwIfFailed(element.get_namespaceURI(uri.GetAddress()));
    return {utf8Of(name), uri.length() > 0};
}

/// The element's step: its name, with its 1-based position among the sibling elements of that
/// name when there is more than one. An unprefixed name in a namespace cannot be written as a
/// name, so it is "*", counted among all sibling elements.
std::string stepOf(IXMLDOMNode& element) {
    const ElementName own = nameOf(element);
    const bool anyName = own.namespaced && own.written.find(':') == std::string::npos;
    const auto sameStep = [&](IXMLDOMNode& sibling) {
        if (!isElement(sibling))
            return false;
        if (anyName)
            return true;
        const ElementName other = nameOf(sibling);
        return other.written == own.written && other.namespaced == own.namespaced;
    };
    std::size_t position = 1;
    for (auto sibling = related(element, &IXMLDOMNode::get_previousSibling); sibling;
         sibling = related(*sibling.Get(), &IXMLDOMNode::get_previousSibling))
        position += sameStep(*sibling.Get()) ? 1 : 0;
    bool numbered = position > 1;
    for (auto sibling = related(element, &IXMLDOMNode::get_nextSibling); sibling && !numbered;
         sibling = related(*sibling.Get(), &IXMLDOMNode::get_nextSibling))
        numbered = sameStep(*sibling.Get());
    std::string step = anyName ? "*" : own.written;
    if (numbered)
        step += "[" + std::to_string(position) + "]";
    return step;
}

/// "/" for the document, else one step per element from the document element down.
std::string locationPathOf(const ComPtr<IXMLDOMNode>& node) {
    std::vector<ComPtr<IXMLDOMNode>> lineage;
    for (ComPtr<IXMLDOMNode> element = node; element && isElement(*element.Get());
         element = related(*element.Get(), &IXMLDOMNode::get_parentNode))
        lineage.push_back(element);
    if (lineage.empty())
        return "/";
    std::string path;
    for (auto element = lineage.rbegin(); element != lineage.rend(); ++element)
        path += "/" + stepOf(*element->Get());
    return path;
}

class MsxmlNode : public XmlDocument {
public:
    explicit MsxmlNode(ComPtr<IXMLDOMNode> node) : node_(std::move(node)) {}

    bool load(const std::string& location) override {
        ComPtr<IXMLDOMDocument> document;
        throwIfFailed(node_.As(&document));
        const _variant_t source(bstrOf(location));
        VARIANT_BOOL loaded = VARIANT_FALSE;
        // A location that cannot be read or parsed is a failed load, never a failure.
        return SUCCEEDED(document->load(source, &loaded)) && loaded == VARIANT_TRUE;
    }

    XmlNodeList selectNodes(const std::string& expression) const override {
        ComPtr<IXMLDOMNodeList> list;
        throwIfFailed(node_->selectNodes(bstrOf(expression), &list));
        long length = 0;
        throwIfFailed(list->get_length(&length));
        XmlNodeList nodes;
        nodes.reserve(static_cast<std::size_t>(length));
        for (long i = 0; i < length; ++i) {
            ComPtr<IXMLDOMNode> item;
            throwIfFailed(list->get_item(i, &item));
            nodes.push_back(std::make_unique<MsxmlNode>(std::move(item)));
        }
        return nodes;
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

    std::string locationPath() const override { return locationPathOf(node_); }

private:
    ComPtr<IXMLDOMNode> node_;
};

} // namespace

std::unique_ptr<XmlDocument> MsxmlService::createDocument() {
    ComPtr<IXMLDOMDocument> document;
    throwIfFailed(
        CoCreateInstance(domDocument30, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&document)));
    throwIfFailed(document->put_async(VARIANT_FALSE));
    ComPtr<IXMLDOMNode> node;
    throwIfFailed(document.As(&node));
    return std::make_unique<MsxmlNode>(std::move(node));
}

} // namespace modRegistryUpdate::windows
