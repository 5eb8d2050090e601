#pragma once
#include <windows.h>

// The module whose resources the component reads: the DLL itself, or the test program that
// links the component and its resources in.
HMODULE ResourceModule();
void SetResourceModule(HMODULE module);

// The full path of that module.
bool ResourceModulePath(wchar_t* path, DWORD size);
