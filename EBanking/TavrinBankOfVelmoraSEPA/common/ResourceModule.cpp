#include "common/ResourceModule.h"

namespace {
HMODULE g_resourceModule;
}

HMODULE ResourceModule() { return g_resourceModule ? g_resourceModule : GetModuleHandleW(nullptr); }

void SetResourceModule(HMODULE module) { g_resourceModule = module; }

bool ResourceModulePath(wchar_t* path, DWORD size)
{
    DWORD n = GetModuleFileNameW(ResourceModule(), path, size);
    return n > 0 && n < size;
}

ResourceLookup FindResourceBytes(HMODULE module, const char* type, UINT id, WORD language, std::string_view& bytes)
{
    bytes = std::string_view();
    const HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), language);
    if (!found) return ResourceLookup::NotFound;
    const HGLOBAL loaded = LoadResource(module, found);
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!data) return ResourceLookup::NotLoaded;
    bytes = std::string_view(data, SizeofResource(module, found));
    return ResourceLookup::Found;
}
