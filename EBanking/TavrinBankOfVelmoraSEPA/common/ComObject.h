#pragma once
// Reference counting and identity for the component's COM classes.
//
// A class T derives from its interfaces and provides
//     void* InternalQueryInterface(REFIID riid);   // the interface pointer, without AddRef
// It leaves IUnknown to one of the two final wrappers below:
//   ComObject<T>        - a stand-alone object with its own plain (non-atomic) count;
//   AggregatedObject<T> - an inner object of an aggregate: its interfaces delegate IUnknown to
//                         the outer object, and the outer holds its non-delegating IUnknown.
// Objects live in a single-threaded apartment; each live object holds a module lock.
#include "common/ModuleLock.h"

#include <windows.h>
#include <unknwn.h>

#include <new>
#include <utility>

template <class T>
class ComObject final : public T {
public:
    template <class... Args>
    explicit ComObject(Args&&... args) : T(std::forward<Args>(args)...) {}

    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = T::InternalQueryInterface(riid);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

private:
    ULONG m_refs = 0;
    ModuleLock m_lock;
};

template <class T>
class AggregatedObject final : public IUnknown {
public:
    template <class... Args>
    explicit AggregatedObject(IUnknown* outer, Args&&... args) : m_inner(outer, std::forward<Args>(args)...) {}

    // The non-delegating IUnknown that the outer object holds.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out) return E_POINTER;
        if (riid == IID_IUnknown) {
            *out = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        *out = m_inner.InternalQueryInterface(riid);
        if (!*out) return E_NOINTERFACE;
        static_cast<IUnknown*>(*out)->AddRef();
        return S_OK;
    }

private:
    class Inner final : public T {
    public:
        template <class... Args>
        explicit Inner(IUnknown* outer, Args&&... args) : T(std::forward<Args>(args)...), m_outer(outer) {}
        ULONG STDMETHODCALLTYPE AddRef() override { return m_outer->AddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return m_outer->Release(); }
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
        {
            return m_outer->QueryInterface(riid, out);
        }

    private:
        IUnknown* m_outer;  // not counted: the outer object owns us
    };

    ULONG m_refs = 0;
    ModuleLock m_lock;
    Inner m_inner;
};

// Creates a T, stand-alone or aggregated in outer, and answers it for riid. Aggregation
// requires the caller to ask for IUnknown, as COM demands.
template <class T, class... Args>
HRESULT CreateComObject(IUnknown* outer, REFIID riid, void** out, Args&&... args)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    IUnknown* object;
    try {
        if (outer)
            object = new AggregatedObject<T>(outer, std::forward<Args>(args)...);
        else
            object = static_cast<IUnknown*>(static_cast<typename T::IdentityInterface*>(
                new ComObject<T>(std::forward<Args>(args)...)));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (HRESULT hr) {
        return hr;
    } catch (...) {
        return E_UNEXPECTED;
    }
    object->AddRef();
    HRESULT hr = object->QueryInterface(riid, out);
    object->Release();
    return hr;
}
