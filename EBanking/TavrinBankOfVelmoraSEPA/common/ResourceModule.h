#pragma once
#include <windows.h>

#include <string_view>

// The module whose resources the component reads: the DLL itself, or the test program that
// links the component and its resources in.
HMODULE ResourceModule();
void SetResourceModule(HMODULE module);

// The full path of that module.
bool ResourceModulePath(wchar_t* path, DWORD size);

enum class ResourceLookup { Found, NotFound, NotLoaded };

// The bytes of a resource of module as stored, living as long as the module; empty unless
// the resource was found and loaded.
ResourceLookup FindResourceBytes(HMODULE module, const char* type, UINT id, WORD language, std::string_view& bytes);
