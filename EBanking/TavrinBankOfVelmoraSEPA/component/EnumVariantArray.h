#pragma once
// Enumerates a collection's list of services as dispatch references.
//
// The enumerator walks the collection's live list rather than a copy, so the list must not
// go away while the enumerator is used. It therefore holds a reference to the collection that
// owns the list: a host that releases the collection before its enumerator leaves the
// collection alive until the enumerator's last release. Clones hold their own reference.
#include "common/ComObject.h"
#include "component/ComArray.h"

#include <oaidl.h>

template <class Element>
class CEnumVariantArray : public IEnumVARIANT {
public:
    using Interfaces = ComInterfaces<ComInterface<IEnumVARIANT>>;

    // owner keeps list alive; position is where enumeration starts.
    static HRESULT Create(const CArray<Element>* list, IUnknown* owner, ULONG position, IEnumVARIANT** out)
    {
        return CreateComObject<CEnumVariantArray>(
            nullptr, IID_IEnumVARIANT, reinterpret_cast<void**>(out), list, owner, position);
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG requested, VARIANT* variants, ULONG* fetched) override
    {
        if (fetched) *fetched = 0;
        if (requested > 0 && !variants) return E_INVALIDARG;
        for (ULONG i = 0; i < requested; ++i)
            VariantInit(&variants[i]);
        ULONG delivered = 0;
        while (delivered < requested && m_position < static_cast<ULONG>(m_list->GetCount())) {
            VARIANT& slot = variants[delivered];
            Element* element = m_list->Peek(static_cast<int>(m_position));
            void* dispatch = nullptr;
            if (FAILED(element->QueryInterface(IID_IDispatch, &dispatch)) || !dispatch) break;
            slot.vt = VT_DISPATCH;
            slot.pdispVal = static_cast<IDispatch*>(dispatch);
            ++delivered;
            ++m_position;
        }
        if (fetched) *fetched = delivered;
        return delivered == requested ? S_OK : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        const ULONG size = static_cast<ULONG>(m_list->GetCount());
        if (count >= size || m_position >= size - count) return S_FALSE;
        m_position += count;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Reset() override
    {
        m_position = 0;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override { return Create(m_list, m_owner, m_position, out); }

protected:
    CEnumVariantArray(const CArray<Element>* list, IUnknown* owner, ULONG position)
        : m_list(list), m_owner(owner), m_position(position)
    {
    }
    ~CEnumVariantArray() = default;

private:
    const CArray<Element>* m_list;
    ComPtr<IUnknown> m_owner; // holds the list's collection alive
    ULONG m_position;
};
