#pragma once
// The host's bank interface for a bank whose services collection is Services: its name, its
// kind, the collection (made on first request and kept), and the host's settings editing.
#include "common/Bstr.h"
#include "common/ComError.h"
#include "common/ComObject.h"
#include "common/DispatchImpl.h"
#include "component/BankName.h"
#include "component/HostBankSettings.h"

#include <oleauto.h>

template <class Services, class Interface>
class IBankImpl : public DispatchImpl<Interface> {
public:
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override
    {
        return ComMethod([&] {
            RequireArgument(name);
            *name = NewBstr(m_name);
        });
    }

    HRESULT STDMETHODCALLTYPE get_Services(ITavrinBankServices** services) override
    {
        return ComMethod([&] {
            RequireArgument(services);
            if (!m_services) {
                typename Services::IdentityInterface* made = nullptr;
                const HRESULT hr = CreateComObject<Services>(nullptr, __uuidof(typename Services::IdentityInterface),
                                                             reinterpret_cast<void**>(&made));
                if (FAILED(hr)) throw hr;
                m_services = made;
            }
            m_services->AddRef();
            *services = m_services;
        });
    }

    HRESULT STDMETHODCALLTYPE get_Kind(LONG* kind) override
    {
        return ComMethod([&] {
            RequireArgument(kind);
            *kind = 1;
        });
    }

    HRESULT STDMETHODCALLTYPE EditSettings(LONG) override
    {
        return ComMethod([&] {
            HostBankSettings settings;
            settings.EditBankSettings(kBankSettingsKey, kEditMode);
        });
    }

protected:
    explicit IBankImpl(const wchar_t* name) : m_name(NewBstr(name, static_cast<UINT>(wcslen(name)))) {}
    ~IBankImpl()
    {
        if (m_services) m_services->Release();
    }

private:
    static constexpr long kEditMode = 2;

    CBstr m_name;
    LONG m_reserved = 0;
    typename Services::IdentityInterface* m_services = nullptr;
};
