#include "sepa/StylesheetResource.h"

#include "common/CodePageText.h"
#include "common/ResourceModule.h"

#include <windows.h>

std::string LoadStylesheetResource(int resourceId)
{
    // The neutral language finds the resource in whichever language it was stored.
    std::string_view bytes;
    FindResourceBytes(
        ResourceModule(), "XSLT", static_cast<UINT>(resourceId), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), bytes);
    return std::string(bytes);
}

IXMLDOMDocumentPtr LoadStylesheet(int resourceId)
{
    const std::wstring text = WidenText(LoadStylesheetResource(resourceId), CP_THREAD_ACP);
    IXMLDOMDocumentPtr stylesheet = CreateXmlDocument();
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (!stylesheet || FAILED(stylesheet->loadXML(_bstr_t(text.c_str()), &loaded)) || loaded != VARIANT_TRUE)
        return nullptr;
    return stylesheet;
}
