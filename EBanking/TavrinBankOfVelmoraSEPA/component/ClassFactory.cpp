#include "component/ClassFactory.h"

#include "common/ModuleLock.h"

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
