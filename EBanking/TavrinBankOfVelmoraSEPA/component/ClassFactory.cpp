#include "component/ClassFactory.h"

#include "common/ModuleLock.h"

// Class objects live as long as the module, so their references do not count:
// only LockServer and live instances keep the library loaded.
HRESULT STDMETHODCALLTYPE ClassFactory::QueryInterface(REFIID riid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
}

ULONG STDMETHODCALLTYPE ClassFactory::AddRef() { return 2; }
ULONG STDMETHODCALLTYPE ClassFactory::Release() { return 1; }

HRESULT STDMETHODCALLTYPE ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** out)
{
    return m_create(outer, riid, out);
}

HRESULT STDMETHODCALLTYPE ClassFactory::LockServer(BOOL lock)
{
    if (lock)
        ModuleAddRef();
    else
        ModuleRelease();
    return S_OK;
}
