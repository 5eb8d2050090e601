#pragma once
// The automation collection of a bank's services: by position or name, count, enumeration.
#include "common/ComError.h"
#include "common/DispatchImpl.h"
#include "component/CListImpl.h"
#include "component/EnumVariantArray.h"

#include "TavrinEBanking.h"

#include <comdef.h>

template <class Interface>
class IBankServicesImpl : public DispatchImpl<Interface>, public CListImpl<ITavrinBankService, Interface> {
    using List = CListImpl<ITavrinBankService, Interface>;

public:
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, ITavrinBankService** service) override
    {
        return ComMethod([&] {
            RequireOut(service);
            const int position = Resolve(index);
            if (position < 0) throw static_cast<HRESULT>(E_INVALIDARG);
            *service = List::GetAt(position);
        });
    }

    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override
    {
        return ComMethod([&] {
            RequireArgument(count);
            *count = List::GetCount();
        });
    }

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** enumerator) override
    {
        return ComMethod([&] {
            RequireOut(enumerator);
            IEnumVARIANT* made = nullptr;
            ThrowIfFailed(
                CEnumVariantArray<ITavrinBankService>::Create(&List::List(), static_cast<Interface*>(this), 0, &made));
            *enumerator = made;
        });
    }

    // Script engines ask for the enumerator as a method or as a property; either gets it.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argError) override
    {
        if (id == DISPID_NEWENUM && riid == IID_NULL && (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) &&
            (!params || params->cArgs == 0)) {
            if (!result) return S_OK;
            IUnknown* enumerator = nullptr;
            const HRESULT hr = get__NewEnum(&enumerator);
            if (FAILED(hr)) return hr;
            VariantInit(result);
            result->vt = VT_UNKNOWN;
            result->punkVal = enumerator;
            return S_OK;
        }
        return DispatchImpl<Interface>::Invoke(id, riid, lcid, flags, params, result, exception, argError);
    }

private:
    // The position an index stands for, or -1 when it finds nothing. A string (or a reference
    // to one) is always a name; anything else is a zero-based position.
    int Resolve(const VARIANT& given) const
    {
        const VARIANT* index = Referent(&given);
        if (!index) return -1;
        if (index->vt == VT_EMPTY || (index->vt == VT_ERROR && index->scode == DISP_E_PARAMNOTFOUND)) return -1;
        if (index->vt == VT_BSTR) return FindByName(index->bstrVal);
        if (index->vt == (VT_BSTR | VT_BYREF)) return index->pbstrVal ? FindByName(*index->pbstrVal) : -1;

        // The conversion reads through a reference to a number itself.
        VARIANT number;
        VariantInit(&number);
        if (FAILED(VariantChangeType(&number, const_cast<VARIANT*>(index), 0, VT_I4))) return -1;
        const LONG position = number.lVal;
        return position >= 0 && position < List::GetCount() ? static_cast<int>(position) : -1;
    }

    // Scripts hand a variable over as a reference to the variant that holds it, and a client
    // may pass such a reference on by reference again: what counts is the variant at the end.
    // Null when a reference points nowhere or the chain does not end.
    static const VARIANT* Referent(const VARIANT* index)
    {
        const int kMostReferences = 16;
        for (int hops = 0; index && index->vt == (VT_VARIANT | VT_BYREF); ++hops) {
            if (hops == kMostReferences) return nullptr;
            index = index->pvarVal;
        }
        return index;
    }

    int FindByName(BSTR name) const
    {
        const wchar_t* wanted = name ? name : L"";
        for (int i = 0; i < List::GetCount(); ++i) {
            BSTR serviceName = nullptr;
            if (FAILED(List::List().Peek(i)->get_Name(&serviceName))) continue;
            const _bstr_t owned(serviceName, false);
            // The user's locale decides equality, with no flags: case matters.
            if (CompareStringW(LOCALE_USER_DEFAULT, 0, wanted, -1, serviceName ? serviceName : L"", -1) == CSTR_EQUAL)
                return i;
        }
        return -1;
    }
};
