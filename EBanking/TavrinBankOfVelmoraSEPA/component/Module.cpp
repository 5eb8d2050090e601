// The library's entry points.
#include "common/ComError.h"
#include "common/ModuleLock.h"
#include "common/ResourceModule.h"
#include "component/ClassTable.h"
#include "component/Registration.h"

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
    return ComExport([&] { return GetClassObject(clsid, riid, out); });
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() { return ModuleLockCount() == 0 ? S_OK : S_FALSE; }

HRESULT STDAPICALLTYPE DllRegisterServer()
{
    return ComExport([] { return RegisterModule(); });
}

HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    return ComExport([] { return UnregisterModule(); });
}

} // extern "C"
