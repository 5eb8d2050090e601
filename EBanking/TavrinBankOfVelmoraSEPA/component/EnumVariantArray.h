#pragma once
// Enumerates a collection's list of services as dispatch references.
//
// The enumerator walks the collection's live list rather than a copy, so the list must not
// go away while the enumerator is used. It therefore holds a reference to the collection that
// owns the list: a host that releases the collection before its enumerator leaves the
// collection alive until the enumerator's last release. Clones hold their own reference.
#include "common/ModuleLock.h"
#include "component/ComArray.h"

#include <oaidl.h>

template <class Element>
class CEnumVariantArray final : public IEnumVARIANT {
public:
    // owner keeps list alive; position is where enumeration starts.
    static HRESULT Create(const CArray<Element>* list, IUnknown* owner, ULONG position, IEnumVARIANT** out)
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        auto* enumerator = new (std::nothrow) CEnumVariantArray(list, owner, position);
        if (!enumerator) return E_OUTOFMEMORY;
        enumerator->AddRef();
        *out = enumerator;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid != IID_IUnknown && riid != IID_IEnumVARIANT) return E_NOINTERFACE;
        *out = static_cast<IEnumVARIANT*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG requested, VARIANT* variants, ULONG* fetched) override
    {
        if (fetched) *fetched = 0;
        if (requested > 0 && !variants) return E_INVALIDARG;
        for (ULONG i = 0; i < requested; ++i) VariantInit(&variants[i]);
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

    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override
    {
        if (!out) return E_POINTER;
        return Create(m_list, m_owner, m_position, out);
    }

private:
    CEnumVariantArray(const CArray<Element>* list, IUnknown* owner, ULONG position)
        : m_list(list), m_owner(owner), m_position(position)
    {
        m_owner->AddRef();
    }
    ~CEnumVariantArray() { m_owner->Release(); }

    const CArray<Element>* m_list;
    IUnknown* m_owner;  // holds the list's collection alive
    ULONG m_refs = 0;
    ULONG m_position;
    ModuleLock m_lock;
};
