#pragma once
// The XML documents of the payment file, from the platform's XML engine, and the two ways the
// credit transfer document grows: an element after a line break, and a text.
#include <windows.h>
#include <msxml2.h>
#include <comdef.h>

// MinGW's headers declare these interfaces without their identifiers for __uuidof.
__CRT_UUID_DECL(IXMLDOMNode, 0x2933bf80, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)
__CRT_UUID_DECL(IXMLDOMDocument, 0x2933bf81, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)
__CRT_UUID_DECL(IXMLDOMElement, 0x2933bf86, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)
__CRT_UUID_DECL(IXMLDOMText, 0x2933bf87, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)
__CRT_UUID_DECL(IXMLDOMNodeList, 0x2933bf82, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)

_COM_SMARTPTR_TYPEDEF(IXMLDOMDocument, __uuidof(IXMLDOMDocument));
_COM_SMARTPTR_TYPEDEF(IXMLDOMElement, __uuidof(IXMLDOMElement));
_COM_SMARTPTR_TYPEDEF(IXMLDOMText, __uuidof(IXMLDOMText));
_COM_SMARTPTR_TYPEDEF(IXMLDOMNode, __uuidof(IXMLDOMNode));
_COM_SMARTPTR_TYPEDEF(IXMLDOMNodeList, __uuidof(IXMLDOMNodeList));

// The engine's version-independent DOM document class.
extern const CLSID CLSID_XmlDomDocument;

// A new empty document, with asynchronous loading, validation on parse and the resolution of
// external definitions switched off; empty when the engine cannot be created.
IXMLDOMDocumentPtr CreateXmlDocument();

// Appends a text node holding a line feed and a tab, then a new element named name, to
// parent. Returns the element, or empty when it could not be created or appended; when the
// line break cannot be appended the element is not appended either.
IXMLDOMElementPtr AppendChildElement(IXMLDOMDocument* document, IXMLDOMNode* parent, BSTR name);

// Appends a text node holding a line feed and a tab, then child, to parent. When the line
// break cannot be appended, child is not appended either.
bool AppendAfterLineBreak(IXMLDOMDocument* document, IXMLDOMNode* parent, IXMLDOMNode* child);

// Appends a text node holding text to node. A null text appends nothing and counts as success;
// an empty one appends an empty text node.
bool AppendText(IXMLDOMDocument* document, IXMLDOMNode* node, BSTR text);
