#include "sepa/StylesheetResource.h"

#include "common/ResourceModule.h"

#include <windows.h>

std::string LoadStylesheetResource(int resourceId)
{
    const HMODULE module = ResourceModule();
    // The neutral language finds the resource in whichever language it was stored.
    const HRSRC found = FindResourceExA(module, "XSLT", MAKEINTRESOURCEA(resourceId),
                                        MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    if (!found) return std::string();
    const HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!bytes) return std::string();
    return std::string(bytes, size);
}
