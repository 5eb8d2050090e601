#pragma once
// The generic part of a bank service: its name and the status of its last run, on top of the
// dispatch implementation of the service's dual interface.
#include "common/Bstr.h"
#include "common/ComError.h"
#include "common/DispatchImpl.h"

#include <windows.h>
#include <oleauto.h>

template <class Interface>
class IBankServiceImpl : public DispatchImpl<Interface> {
public:
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override
    {
        return ComMethod([&] {
            RequireOut(name);
            *name = NewBstr(m_name);
        });
    }
    HRESULT STDMETHODCALLTYPE get_Status(LONG* status) override
    {
        return ComMethod([&] {
            RequireArgument(status);
            *status = m_status;
        });
    }
    HRESULT STDMETHODCALLTYPE put_Status(LONG status) override
    {
        m_status = status;
        return S_OK;
    }
    // The host passes these for its own reasons; the service only requires the pointers.
    HRESULT STDMETHODCALLTYPE Reserved1(IUnknown* reserved) override
    {
        return ComMethod([&] { RequireArgument(reserved); });
    }
    HRESULT STDMETHODCALLTYPE Reserved2(LONG, IUnknown* reserved) override
    {
        return ComMethod([&] { RequireArgument(reserved); });
    }

protected:
    explicit IBankServiceImpl(const wchar_t* name) : m_name(NewBstr(name, static_cast<UINT>(wcslen(name)))) {}

    LONG& RunStatus() { return m_status; }

private:
    CBstr m_name;
    LONG m_status = 0;
};
