#pragma once
// The stylesheets the module carries as resources of type "XSLT".
#include "sepa/XmlDocument.h"

#include <string>

// The bytes of the stylesheet resource with this identifier, exactly as stored; empty when the
// module has no such resource or it cannot be loaded.
std::string LoadStylesheetResource(int resourceId);

// The stylesheet resource loaded into a new document, its bytes read as text in the thread's
// ANSI code page (the encoding named in its own declaration plays no part); empty when it is
// missing or does not load.
IXMLDOMDocumentPtr LoadStylesheet(int resourceId);
