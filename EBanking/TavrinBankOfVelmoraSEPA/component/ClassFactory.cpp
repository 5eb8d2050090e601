#include "component/ClassFactory.h"

#include "common/ModuleLock.h"

ClassFactory::ClassFactory(CreateInstanceFn create, IClassFactory** cached) : m_create(create), m_cached(cached)
{
    *m_cached = this;
}

ClassFactory::~ClassFactory() { *m_cached = nullptr; }

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
