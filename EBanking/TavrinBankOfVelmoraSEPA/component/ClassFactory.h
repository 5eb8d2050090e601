#pragma once
// One class object type for every class of the module: it creates instances through the
// class's creation function, stand-alone or aggregated.
#include <windows.h>
#include <unknwn.h>

using CreateInstanceFn = HRESULT (*)(IUnknown* outer, REFIID riid, void** out);

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(CreateInstanceFn create) : m_create(create) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    CreateInstanceFn m_create;
};
