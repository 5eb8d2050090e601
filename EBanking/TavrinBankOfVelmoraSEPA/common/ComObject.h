#pragma once
// Reference counting and identity for the component's COM classes.
//
// A class T derives from its interfaces, implements their methods and lists what it answers:
//     using Interfaces = ComInterfaces<ComInterface<IFirst, IBaseOfFirst>, ComInterface<ISecond>>;
// The first interface of the list is the object's identity, the one IUnknown answers. T leaves
// IUnknown to ComObject<T>, which counts references (plainly: objects live in a single-threaded
// apartment), holds a module lock while it lives, and deletes itself at the last release. A
// ComObject is stand-alone or the inner object of an aggregate, whose interfaces then delegate
// IUnknown to the outer object while the outer holds the inner one's own IUnknown.
#include "common/ComError.h"
#include "common/ComPtr.h"
#include "common/ModuleLock.h"

#include <windows.h>
#include <unknwn.h>

#include <new>
#include <type_traits>
#include <utility>

// One row of an interface list: Interface, and the interfaces it derives from that a caller
// may ask for under their own identifiers, all answered by the same pointer.
template <class Interface, class... AlsoAnswers>
struct ComInterface {
    using Type = Interface;

    // A row may only answer what the object's pointer really is: a static_cast to an interface
    // the object does not derive from, or an identifier answered with an unrelated vtable,
    // would hand the caller the wrong methods.
    template <class Object>
    static constexpr bool kAnsweredBy = std::is_base_of_v<Interface, Object> &&
                                        (std::is_base_of_v<AlsoAnswers, Interface> && ...);

    template <class Object>
    static void* Find(Object* object, REFIID riid)
    {
        if (riid == __uuidof(Interface) || ((riid == __uuidof(AlsoAnswers)) || ...))
            return static_cast<Interface*>(object);
        return nullptr;
    }
};

template <class First, class... Rest>
struct ComInterfaces {
    using Identity = typename First::Type;

    template <class Object>
    static constexpr bool kAnsweredBy = First::template kAnsweredBy<Object> &&
                                        (Rest::template kAnsweredBy<Object> && ...);

    // The interface pointer for riid, without a reference added; null when there is none.
    template <class Object>
    static void* Find(Object* object, REFIID riid)
    {
        if (riid == IID_IUnknown) return static_cast<Identity*>(object);
        void* found = First::Find(object, riid);
        static_cast<void>(found || (((found = Rest::Find(object, riid)) != nullptr) || ...));
        return found;
    }
};

// The module lock is the first base, so it is taken before T is constructed and let go only
// after T and everything it holds are destroyed: the module may not be unloaded while any of
// its code still runs for the object.
template <class T>
class ComObject final : private ModuleLock, public T {
    static_assert(T::Interfaces::template kAnsweredBy<T>,
                  "each interface of a row of T::Interfaces must be a base of T, and each interface a row "
                  "also answers a base of the row's interface");
    static_assert(!std::is_destructible_v<T>,
                  "T's destructor must not be public: only the last release may delete a counted object");

public:
    template <class... Args>
    explicit ComObject(Args&&... args) : ModuleLock(), T(std::forward<Args>(args)...), m_own(*this)
    {
    }

    // The inner object of the aggregate that outer controls.
    template <class... Args>
    static ComObject* NewAggregated(IUnknown* outer, Args&&... args)
    {
        ComObject* object = new ComObject(std::forward<Args>(args)...);
        object->m_controlling = outer;
        return object;
    }

    // Every interface's IUnknown is the controlling object's: this object's own, unless it
    // is aggregated.
    ULONG STDMETHODCALLTYPE AddRef() override { return m_controlling->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_controlling->Release(); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        return m_controlling->QueryInterface(riid, out);
    }

    // The IUnknown that keeps the object's count; an outer object holds this one.
    IUnknown* Own() { return &m_own; }

private:
    // Only the last release of the object's own IUnknown deletes it.
    ~ComObject() = default;

    class OwnUnknown final : public IUnknown {
    public:
        explicit OwnUnknown(ComObject& object) : m_object(object) {}

        ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
        ULONG STDMETHODCALLTYPE Release() override
        {
            const ULONG left = --m_refs;
            if (left == 0) delete &m_object;
            return left;
        }
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
        {
            if (!out) return E_POINTER;
            // Inside an aggregate, the inner object's IUnknown is this one; its other
            // interfaces belong to the aggregate's identity.
            const bool aggregated = m_object.m_controlling != this;
            *out = aggregated && riid == IID_IUnknown ? static_cast<IUnknown*>(this)
                                                      : T::Interfaces::Find(static_cast<T*>(&m_object), riid);
            if (!*out) return E_NOINTERFACE;
            static_cast<IUnknown*>(*out)->AddRef();
            return S_OK;
        }

    private:
        ULONG m_refs = 0;
        ComObject& m_object;
    };

    OwnUnknown m_own;
    IUnknown* m_controlling = &m_own; // not counted: an outer object owns its inner one
};

// Creates a T, stand-alone or aggregated in outer, and answers it for riid. Aggregation
// requires the caller to ask for IUnknown, as COM demands.
template <class T, class... Args>
HRESULT CreateComObject(IUnknown* outer, REFIID riid, void** out, Args&&... args)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    return ComExport([&] {
        const ComPtr<IUnknown> object = outer ? ComObject<T>::NewAggregated(outer, std::forward<Args>(args)...)->Own()
                                              : (new ComObject<T>(std::forward<Args>(args)...))->Own();
        return object->QueryInterface(riid, out);
    });
}
