#pragma once
// A minimal reference-counted COM object for the host stand-in's in-memory objects.
// Counts are plain: the host and its bank components share one single-threaded apartment.
// The count is readable so that tests can prove a component released all it took.
#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <set>
#include <string>
#include <utility>

namespace tavrin_host {

// A set of method names that an object has been told to fail, for fault-injection tests. Held
// apart, so that the many objects never told to fail carry a pointer and no empty set.
class FaultSwitch {
public:
    void Fail(const std::string& method, HRESULT hr = E_FAIL)
    {
        if (!m_failing) m_failing = std::make_unique<Failing>();
        m_failing->methods.insert(method);
        m_failing->hr = hr;
    }
    bool Fails(const char* method) const { return m_failing && m_failing->methods.count(method) != 0; }
    HRESULT FailureCode() const { return m_failing ? m_failing->hr : E_FAIL; }

private:
    struct Failing {
        std::set<std::string> methods;
        HRESULT hr = E_FAIL;
    };
    std::unique_ptr<Failing> m_failing;
};

#define HOST_FAIL_IF(method)                                       \
    do {                                                           \
        if (Faults().Fails(method)) return Faults().FailureCode(); \
    } while (0)

// Owns one reference to a COM object for as long as it lives.
template <class T>
class HostRef {
public:
    HostRef() = default;
    explicit HostRef(T* adopted) : m_p(adopted) {}
    HostRef(const HostRef& other) : m_p(other.m_p)
    {
        if (m_p) m_p->AddRef();
    }
    HostRef& operator=(HostRef other)
    {
        std::swap(m_p, other.m_p);
        return *this;
    }
    ~HostRef()
    {
        if (m_p) m_p->Release();
    }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    T* get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // The out-parameter of a call that hands out a reference; whatever was held before goes.
    T** Receive()
    {
        *this = HostRef();
        return &m_p;
    }

private:
    T* m_p = nullptr;
};

// The one base of the host stand-in's COM objects: Derived implements QueryInterface through
// FindInterface(riid) and the interface methods. A new object starts with one reference, its
// creator's.
template <class Derived, class Primary>
class HostUnknown : public Primary {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = --m_refs;
        if (left == 0) delete static_cast<Derived*>(this);
        return left;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        // A host that breaks the rules: success, but no interface.
        if (riid != IID_IUnknown && m_faults.Fails("QueryInterface")) return S_OK;
        IUnknown* found = static_cast<Derived*>(this)->FindInterface(riid);
        if (!found) return E_NOINTERFACE;
        found->AddRef();
        *out = found;
        return S_OK;
    }

    // The current reference count, without touching it.
    ULONG RefCount() const { return m_refs; }
    FaultSwitch& Faults() { return m_faults; }
    const FaultSwitch& Faults() const { return m_faults; }

protected:
    HostUnknown() = default;
    virtual ~HostUnknown() = default;

private:
    ULONG m_refs = 1;
    FaultSwitch m_faults;
};

// A host object whose primary interface is a dual one. IDispatch is not served from type
// information: the component calls host objects through their vtables only, so the dispatch
// methods answer that no type information exists.
template <class Derived, class Primary>
class HostObject : public HostUnknown<Derived, Primary> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count) return E_INVALIDARG;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

protected:
    HostObject() = default;
};

} // namespace tavrin_host
