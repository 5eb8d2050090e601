#include "sepa/XmlDocument.h"

const CLSID CLSID_XmlDomDocument = {0xF6D90F11, 0x9C73, 0x11D3, {0xB3, 0x2E, 0x00, 0xC0, 0x4F, 0x99, 0x0B, 0xB4}};

namespace {

// Every element of the credit transfer document stands on a line of its own, one tab in.
BSTR LineBreak()
{
    static const _bstr_t lineBreak(L"\n\t");
    return lineBreak;
}

} // namespace

IXMLDOMDocumentPtr CreateXmlDocument()
{
    IXMLDOMDocumentPtr document;
    if (FAILED(CoCreateInstance(CLSID_XmlDomDocument,
                                nullptr,
                                CLSCTX_INPROC_SERVER,
                                __uuidof(IXMLDOMDocument),
                                reinterpret_cast<void**>(&document))) ||
        !document)
        return nullptr;
    // Loading from a string must finish before loadXML returns, and nothing is fetched from
    // outside or checked against a document type.
    document->put_async(VARIANT_FALSE);
    document->put_validateOnParse(VARIANT_FALSE);
    document->put_resolveExternals(VARIANT_FALSE);
    return document;
}

IXMLDOMElementPtr AppendChildElement(IXMLDOMDocument* document, IXMLDOMNode* parent, BSTR name)
{
    IXMLDOMElementPtr element;
    if (FAILED(document->createElement(name, &element)) || !element) return nullptr;
    if (!AppendAfterLineBreak(document, parent, element)) return nullptr;
    return element;
}

bool AppendAfterLineBreak(IXMLDOMDocument* document, IXMLDOMNode* parent, IXMLDOMNode* child)
{
    return AppendText(document, parent, LineBreak()) && SUCCEEDED(parent->appendChild(child, nullptr));
}

bool AppendText(IXMLDOMDocument* document, IXMLDOMNode* node, BSTR text)
{
    if (!text) return true;
    IXMLDOMTextPtr textNode;
    if (FAILED(document->createTextNode(text, &textNode)) || !textNode) return false;
    return SUCCEEDED(node->appendChild(textNode, nullptr));
}
