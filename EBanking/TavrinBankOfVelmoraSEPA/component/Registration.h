#pragma once
// Writes and removes the module's registration: the classes' registry scripts, their
// component categories and the embedded type library.
#include <windows.h>

HRESULT RegisterModule();
HRESULT UnregisterModule();

// Runs one registry script resource under root, registering or removing its keys.
HRESULT RunRegistryScriptResource(HKEY root, UINT resourceId, bool registering);
