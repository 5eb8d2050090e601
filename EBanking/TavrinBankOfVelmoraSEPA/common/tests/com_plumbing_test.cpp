// The COM plumbing at its own level: the counted object base (identity, counts, aggregation,
// creation failures), the module lock it holds, and the owners of references and strings. The
// checks are helpers that report the caller's line.
#include "common/Bstr.h"
#include "common/ComError.h"
#include "common/ComObject.h"
#include "common/ComPtr.h"
#include "common/UniqueResource.h"

#include <gtest/gtest.h>

#include <objidl.h>

#include <initializer_list>
#include <new>
#include <stdexcept>
#include <string>

namespace {

void* const kUntouched = reinterpret_cast<void*>(0xdeadbeef);

// The count an object answers for one more reference, taken and given back.
void ExpectRef(const char* file, int line, IUnknown* object, ULONG expected)
{
    object->AddRef();
    const ULONG refs = object->Release();
    if (refs != expected) ADD_FAILURE_AT(file, line) << "references " << refs << ", expected " << expected;
}
#define EXPECT_REF(object, count) ExpectRef(__FILE__, __LINE__, object, count)

// Whether object answers riid; an interface it answers must give the object's identity for
// IUnknown and the way back to each interface of also.
void ExpectInterface(const char* file, int line, IUnknown* object, REFIID riid, bool supported,
                     std::initializer_list<IID> also = {})
{
    void* found = kUntouched;
    const HRESULT hr = object->QueryInterface(riid, &found);
    if (hr != (supported ? S_OK : E_NOINTERFACE) || (found != nullptr) != supported) {
        ADD_FAILURE_AT(file, line) << "QueryInterface answered " << std::hex << hr << " and " << found;
        return;
    }
    if (!supported) return;
    const ComPtr<IUnknown> answered(static_cast<IUnknown*>(found), false);
    ComPtr<IUnknown> identity, expected;
    answered->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&expected));
    if (!identity || identity.GetInterfacePtr() != expected.GetInterfacePtr())
        ADD_FAILURE_AT(file, line) << "the interface answers another identity";
    for (const IID& back : also) {
        ComPtr<IUnknown> other;
        if (FAILED(answered->QueryInterface(back, reinterpret_cast<void**>(&other))) || !other)
            ADD_FAILURE_AT(file, line) << "no way back from the interface";
    }
}
#define EXPECT_INTERFACE(object, riid, supported, ...) \
    ExpectInterface(__FILE__, __LINE__, object, riid, supported, ##__VA_ARGS__)

// An IUnknown that only counts: it is never deleted, and a test reads what was done to it.
struct CountingUnknown : IUnknown {
    ULONG addRefs = 0;
    ULONG releases = 0;
    ULONG queries = 0;
    IUnknown* inner = nullptr; // the outer object of an aggregate answers the rest through it

    ULONG Refs() const { return 1 + addRefs - releases; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1 + ++addRefs - releases; }
    ULONG STDMETHODCALLTYPE Release() override { return 1 + addRefs - ++releases; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        ++queries;
        if (riid == IID_IUnknown) {
            *out = this;
            AddRef();
            return S_OK;
        }
        if (inner) return inner->QueryInterface(riid, out);
        *out = nullptr;
        return E_NOINTERFACE;
    }
};

// A counted object with a derived interface, an unrelated one, and a constructor that can
// fail as creation may.
class CPersisting : public IPersistStream, public SupportErrorInfoFor<IPersistStream> {
public:
    using Interfaces = ComInterfaces<ComInterface<IPersistStream, IPersist>, ComInterface<ISupportErrorInfo>>;

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(IStream*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Save(IStream*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }

    static inline LONG s_locksSeenByLastMember = -1;

protected:
    // 0: constructed; 1: throws an HRESULT; 2: a success code; 3: out of memory; 4: a standard
    // exception; 5: a COM error.
    explicit CPersisting(int failure = 0)
    {
        if (failure == 1) throw static_cast<HRESULT>(E_ACCESSDENIED);
        if (failure == 2) throw static_cast<HRESULT>(S_FALSE);
        if (failure == 3) throw std::bad_alloc();
        if (failure == 4) throw std::runtime_error("failed");
        if (failure == 5) _com_issue_error(E_FAIL);
    }
    ~CPersisting() = default;

private:
    // Records the module's count when the object's last member goes.
    struct LastMember {
        ~LastMember() { s_locksSeenByLastMember = ModuleLockCount(); }
    } m_last;
};

int g_closed[4];
void CloseCounted(int resource) { ++g_closed[resource]; }

IPersistStream* NewPersisting()
{
    IPersistStream* object = nullptr;
    EXPECT_EQ(S_OK, CreateComObject<CPersisting>(nullptr, __uuidof(IPersistStream), reinterpret_cast<void**>(&object)));
    return object;
}

} // namespace

TEST(CountedObject, AnswersOneIdentityAndEveryListedInterfaceBothWays)
{
    IPersistStream* object = NewPersisting();
    ASSERT_TRUE(object);
    EXPECT_REF(object, 1);
    EXPECT_INTERFACE(object, IID_IUnknown, true, {IID_IPersistStream, IID_IPersist, IID_ISupportErrorInfo});
    EXPECT_INTERFACE(object, IID_IPersist, true, {IID_IPersistStream, IID_ISupportErrorInfo});
    EXPECT_INTERFACE(object, IID_ISupportErrorInfo, true, {IID_IPersistStream, IID_IPersist});
    EXPECT_INTERFACE(object, IID_IDispatch, false);
    EXPECT_INTERFACE(object, IID_IStream, false);
    // Each answer above gave its reference back.
    EXPECT_REF(object, 1);

    ISupportErrorInfo* errors = nullptr;
    ASSERT_EQ(S_OK, object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&errors)));
    EXPECT_REF(object, 2);
    EXPECT_EQ(S_OK, errors->InterfaceSupportsErrorInfo(IID_IPersistStream));
    EXPECT_EQ(S_FALSE, errors->InterfaceSupportsErrorInfo(IID_IPersist));
    EXPECT_EQ(1u, errors->Release());
    // A null out-parameter is refused, not written.
    EXPECT_EQ(E_POINTER, object->QueryInterface(IID_IUnknown, nullptr));

    const LONG locks = ModuleLockCount();
    EXPECT_EQ(0u, object->Release());
    EXPECT_EQ(locks, CPersisting::s_locksSeenByLastMember) << "the members went after the module lock";
    EXPECT_EQ(locks - 1, ModuleLockCount());
}

TEST(CountedObject, FailedCreationAnswersCOMCodesAndLeavesNothingBehind)
{
    struct Case {
        int failure;
        REFIID riid;
        HRESULT expected;
        const char* condition;
    };
    const Case cases[] = {
        {0, IID_IDispatch, E_NOINTERFACE, "an interface the class does not have"},
        {1, IID_IUnknown, E_ACCESSDENIED, "the constructor throws a failure code"},
        {2, IID_IUnknown, E_UNEXPECTED, "the constructor throws a success code"},
        {3, IID_IUnknown, E_OUTOFMEMORY, "the constructor runs out of memory"},
        {4, IID_IUnknown, E_UNEXPECTED, "the constructor throws a standard exception"},
        {5, IID_IUnknown, E_UNEXPECTED, "the constructor throws a COM error"},
    };
    const LONG locks = ModuleLockCount();
    for (const Case& c : cases) {
        void* out = kUntouched;
        EXPECT_EQ(c.expected, CreateComObject<CPersisting>(nullptr, c.riid, &out, c.failure)) << c.condition;
        EXPECT_EQ(nullptr, out) << c.condition;
        EXPECT_EQ(locks, ModuleLockCount()) << c.condition << ": an object or its lock was left";
    }
    EXPECT_EQ(E_POINTER, CreateComObject<CPersisting>(nullptr, IID_IUnknown, nullptr));

    // An aggregate's inner object is created only for IUnknown, without touching the outer one.
    CountingUnknown outer;
    void* out = kUntouched;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, CreateComObject<CPersisting>(&outer, IID_IPersist, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(0u, outer.addRefs + outer.releases + outer.queries);
    EXPECT_EQ(locks, ModuleLockCount());
}

TEST(CountedObject, AggregatedInnerCountsOnItsOuterAndKeepsItsOwnUnknown)
{
    CountingUnknown outer;
    IUnknown* inner = nullptr;
    ASSERT_EQ(S_OK, CreateComObject<CPersisting>(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner)));
    EXPECT_EQ(1u, outer.Refs()) << "the inner object holds no reference on its outer one";
    EXPECT_REF(inner, 1);
    outer.inner = inner;

    // The inner object's own IUnknown answers itself for IUnknown and its interfaces otherwise.
    IUnknown* own = nullptr;
    ASSERT_EQ(S_OK, inner->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&own)));
    EXPECT_EQ(inner, own);
    EXPECT_EQ(1u, own->Release());

    IPersist* persist = nullptr;
    ASSERT_EQ(S_OK, inner->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&persist)));
    EXPECT_EQ(2u, outer.Refs()) << "the interface's reference is the outer object's";
    EXPECT_REF(inner, 1);
    // Its interfaces belong to the aggregate: IUnknown, and what the inner lacks, come from the outer object.
    const ULONG queries = outer.queries;
    EXPECT_INTERFACE(persist, IID_IUnknown, true, {IID_IPersistStream});
    EXPECT_INTERFACE(persist, IID_IStream, false);
    EXPECT_LT(queries, outer.queries);
    persist->Release();
    EXPECT_EQ(1u, outer.Refs());

    const LONG locks = ModuleLockCount();
    EXPECT_EQ(0u, inner->Release());
    EXPECT_EQ(locks - 1, ModuleLockCount());
    EXPECT_EQ(1u, outer.Refs());
}

TEST(ComPlumbing, OwnersGiveBackExactlyWhatTheyHold)
{
    CountingUnknown object;
    {
        ComPtr<IUnknown> held(static_cast<IUnknown*>(&object));
        IUnknown* handedOut = NewReference(held);
        EXPECT_EQ(3u, object.Refs());
        handedOut->Release();
        // Receiving into an owner gives back what it held first.
        EXPECT_EQ(nullptr, *&held);
        EXPECT_EQ(1u, object.Refs());
        EXPECT_EQ(nullptr, NewReference(held));
    }
    EXPECT_EQ(0u, object.queries) << "an owner of IUnknown asks for nothing";

    {
        UniqueResource<int, &CloseCounted, 0> owner(1), empty;
        *owner.Receive() = 2; // closes 1 before the call fills in 2
        decltype(owner) moved(std::move(owner));
        empty = std::move(moved);
        EXPECT_EQ(1, g_closed[1]);
        EXPECT_EQ(0, g_closed[2]);
    }
    EXPECT_EQ(1, g_closed[2]) << "moving handed the resource on once";
    EXPECT_EQ(0, g_closed[0]) << "the empty value was closed";

    const wchar_t text[] = L"a\0b";
    CBstr copy(NewBstr(text, 3));
    CBstr moved(std::move(copy));
    EXPECT_EQ(std::wstring(text, 3), moved.Text()) << "an embedded null is part of the string";
    EXPECT_EQ(L"", copy.Text()) << "a moved-from or null BSTR reads as the empty string";
    EXPECT_EQ(nullptr, *moved.Receive()) << "receiving frees what was held and leaves the slot empty";
}
