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
            RequireOut(name);
            *name = NewBstr(m_name);
        });
    }

    HRESULT STDMETHODCALLTYPE get_Services(ITavrinBankServices** services) override
    {
        return ComMethod([&] {
            RequireOut(services);
            if (!m_services)
                ThrowIfFailed(CreateComObject<Services>(
                    nullptr, __uuidof(ITavrinBankServices), reinterpret_cast<void**>(&m_services)));
            *services = NewReference(m_services);
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

private:
    static constexpr long kEditMode = 2;

    CBstr m_name;
    ComPtr<ITavrinBankServices> m_services;
};
