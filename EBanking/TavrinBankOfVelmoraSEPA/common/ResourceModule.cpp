#include "common/ResourceModule.h"

namespace {
HMODULE g_resourceModule;
}

HMODULE ResourceModule()
{
    return g_resourceModule ? g_resourceModule : GetModuleHandleW(nullptr);
}

void SetResourceModule(HMODULE module)
{
    g_resourceModule = module;
}

bool ResourceModulePath(wchar_t* path, DWORD size)
{
    DWORD n = GetModuleFileNameW(ResourceModule(), path, size);
    return n > 0 && n < size;
}
