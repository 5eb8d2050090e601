#pragma once
// IDispatch for one of the component's dual interfaces, served from the type information in
// the type library embedded in the module. The type information is loaded on first use and
// held by the object, so nothing outlives it.
#include "common/ComPtr.h"
#include "common/ResourceModule.h"

#include <windows.h>
#include <oleauto.h>

// Loads the ITypeInfo of an interface from the module's embedded type library.
HRESULT LoadModuleTypeInfo(REFIID iid, ITypeInfo** info);

template <class Interface>
class DispatchImpl : public Interface {
public:
    DispatchImpl() = default;
    DispatchImpl(const DispatchImpl&) = delete;
    DispatchImpl& operator=(const DispatchImpl&) = delete;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count) return E_INVALIDARG;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override
    {
        if (!info) return E_INVALIDARG;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        HRESULT hr = EnsureTypeInfo();
        if (FAILED(hr)) return hr;
        *info = NewReference(m_typeInfo);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        HRESULT hr = EnsureTypeInfo();
        if (FAILED(hr)) return hr;
        return DispGetIDsOfNames(m_typeInfo, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argError) override
    {
        if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        HRESULT hr = EnsureTypeInfo();
        if (FAILED(hr)) return hr;
        return DispInvoke(static_cast<Interface*>(this), m_typeInfo, id, flags, params, result, exception, argError);
    }

private:
    HRESULT EnsureTypeInfo() { return m_typeInfo ? S_OK : LoadModuleTypeInfo(__uuidof(Interface), &m_typeInfo); }

    ComPtr<ITypeInfo> m_typeInfo;
};
