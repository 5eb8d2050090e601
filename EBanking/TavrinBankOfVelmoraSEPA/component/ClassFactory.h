#pragma once
// One class object type for every class of the module: it creates instances through the
// class's creation function, stand-alone or aggregated. A class object is a counted object
// like any other: while a client holds it, the module stays loaded. Each request gets a class
// object of its own, so none is ever shared between apartments and its plain count is safe.
#include "common/ComObject.h"

#include <windows.h>
#include <unknwn.h>

using CreateInstanceFn = HRESULT (*)(IUnknown* outer, REFIID riid, void** out);

class ClassFactory : public IClassFactory {
public:
    using Interfaces = ComInterfaces<ComInterface<IClassFactory>>;

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

protected:
    explicit ClassFactory(CreateInstanceFn create) : m_create(create) {}
    ~ClassFactory() = default;

private:
    CreateInstanceFn m_create;
};
