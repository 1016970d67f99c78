#include "platform/windows/msxml_document.h"

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

class MsxmlNode : public XmlDocument {
public:
    explicit MsxmlNode(ComPtr<IXMLDOMNode> node) : node_(std::move(node)) {}

    bool load(const std::string& location) override {
        ComPtr<IXMLDOMDocument> document;
        throwIfFailed(node_.As(&document));
        const Bstr path(location);
        VARIANT source;
        VariantInit(&source);
        source.vt = VT_BSTR;
        source.bstrVal = path.get();
        VARIANT_BOOL loaded = VARIANT_FALSE;
        // A location that cannot be read or parsed is a failed load, never a failure.
        return SUCCEEDED(document->load(source, &loaded)) && loaded == VARIANT_TRUE;
    }

    XmlNodeList selectNodes(const std::string& expression) const override {
        ComPtr<IXMLDOMNodeList> list;
        throwIfFailed(node_->selectNodes(Bstr(expression).get(), &list));
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
        Variant value;
        throwIfFailed(element->getAttribute(Bstr(name).get(), value.get()));
        if ((*value).vt != VT_BSTR)
            return std::nullopt;
        return windows::toUtf8(std::wstring((*value).bstrVal, SysStringLen((*value).bstrVal)));
    }

    std::string locationPath() const override {
        std::string path;
        ComPtr<IXMLDOMNode> node = node_;
        DOMNodeType type = NODE_INVALID;
        while (SUCCEEDED(node->get_nodeType(&type)) && type == NODE_ELEMENT) {
            const std::string name = nameOf(node.Get());
            // Position among same-named siblings, shown only when the name repeats.
            long before = 0;
            bool repeats = false;
            for (const bool backward : {true, false}) {
                ComPtr<IXMLDOMNode> sibling = node;
                for (;;) {
                    ComPtr<IXMLDOMNode> next;
                    if ((backward ? sibling->get_previousSibling(&next)
                                  : sibling->get_nextSibling(&next)) != S_OK)
                        break;
                    sibling = next;
                    DOMNodeType siblingType = NODE_INVALID;
                    if (SUCCEEDED(sibling->get_nodeType(&siblingType)) &&
                        siblingType == NODE_ELEMENT && nameOf(sibling.Get()) == name) {
                        repeats = true;
                        before += backward;
                    }
                }
            }
            path.insert(0, "/" + name + (repeats ? "[" + std::to_string(before + 1) + "]" : ""));
            ComPtr<IXMLDOMNode> parent;
            if (node->get_parentNode(&parent) != S_OK)
                break;
            node = parent;
        }
        return path.empty() ? "/" : path;
    }

private:
    static std::string nameOf(IXMLDOMNode* node) {
        Bstr name;
        throwIfFailed(node->get_nodeName(name.receive()));
        return name.toUtf8();
    }

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
