// The library's entry points.
#include "common/ModuleLock.h"
#include "common/ResourceModule.h"
#include "component/ClassTable.h"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        SetResourceModule(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out)
{
    if (!out) return E_POINTER;
    return GetClassObject(clsid, riid, out);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return ModuleLockCount() == 0 ? S_OK : S_FALSE;
}

} // extern "C"
