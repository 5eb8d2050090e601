// The built DLL, loaded as a host loads it: its class object, its lifetime, its dispatch.
#include "common/ComPtr.h"

#include "TavrinBankOfVelmoraSEPA.h"

#include "ComTestSupport.h"

#include <gtest/gtest.h>

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

class ComponentDll : public testing::Test {
protected:
    void SetUp() override
    {
        module = LoadLibraryW(L"TavrinBankOfVelmoraSEPA.dll");
        ASSERT_NE(nullptr, module) << "the DLL must sit beside the test program";
        getClassObject = testsupport::ProcAddress<GetClassObjectFn>(module, "DllGetClassObject");
        canUnloadNow = testsupport::ProcAddress<CanUnloadNowFn>(module, "DllCanUnloadNow");
        ASSERT_NE(nullptr, getClassObject);
        ASSERT_NE(nullptr, canUnloadNow);
    }
    void TearDown() override
    {
        if (module) FreeLibrary(module);
    }

    ComPtr<IClassFactory> Factory(REFCLSID clsid)
    {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(S_OK, getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
        return factory;
    }

    HMODULE module = nullptr;
    GetClassObjectFn getClassObject = nullptr;
    CanUnloadNowFn canUnloadNow = nullptr;
};

} // namespace

TEST_F(ComponentDll, EveryRequestGetsItsOwnClassObjectAndUnknownClassesAreNotAvailable)
{
    // Two apartments asking at once must not share one plainly counted class object.
    ComPtr<IClassFactory> first = Factory(CLSID_BankPaymentService);
    const ComPtr<IClassFactory> second = Factory(CLSID_BankPaymentService);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.GetInterfacePtr(), second.GetInterfacePtr());
    first = nullptr;
    ComPtr<IBankPaymentService> service;
    EXPECT_EQ(S_OK, second->CreateInstance(nullptr, __uuidof(IBankPaymentService), reinterpret_cast<void**>(&service)))
        << "one class object's release leaves the other whole";

    const CLSID statementService = {0x0492026C, 0x2A96, 0x467A, {0xAC, 0x85, 0x1C, 0x56, 0xAB, 0x52, 0xBA, 0x4D}};
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject(statementService, IID_IClassFactory, &none));
    EXPECT_EQ(nullptr, none);
}

TEST_F(ComponentDll, CanUnloadOnlyWhenNoObjectClassObjectOrLockIsAlive)
{
    EXPECT_EQ(S_OK, canUnloadNow());
    ComPtr<IClassFactory> factory = Factory(CLSID_BankPaymentService);
    ASSERT_TRUE(factory);
    EXPECT_EQ(S_FALSE, canUnloadNow()) << "a client's class object keeps the module";

    ComPtr<IBankPaymentService> service;
    ASSERT_EQ(S_OK,
              factory->CreateInstance(nullptr, __uuidof(IBankPaymentService), reinterpret_cast<void**>(&service)));
    factory = nullptr;
    EXPECT_EQ(S_FALSE, canUnloadNow()) << "an object keeps the module";
    service = nullptr;
    EXPECT_EQ(S_OK, canUnloadNow());

    factory = Factory(CLSID_BankPaymentService);
    ASSERT_TRUE(factory);
    factory->LockServer(TRUE);
    factory = nullptr;
    EXPECT_EQ(S_FALSE, canUnloadNow()) << "a server lock keeps the module";
    Factory(CLSID_BankPaymentService)->LockServer(FALSE);
    EXPECT_EQ(S_OK, canUnloadNow());
}

TEST_F(ComponentDll, AggregatedServiceDelegatesToItsOuterObject)
{
    // A trivial outer object that counts the references its inner object gives it.
    struct Outer : IUnknown {
        ULONG refs = 1;
        ComPtr<IUnknown> inner;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
        {
            if (riid == IID_IUnknown) {
                *out = this;
                AddRef();
                return S_OK;
            }
            return inner->QueryInterface(riid, out);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
        ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    } outer;

    const ComPtr<IClassFactory> factory = Factory(CLSID_BankPaymentService);
    ASSERT_TRUE(factory);
    void* refused = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, __uuidof(IBankPaymentService), &refused));
    ASSERT_EQ(S_OK, factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)));

    {
        ComPtr<IBankPaymentService> service;
        ASSERT_EQ(S_OK, outer.QueryInterface(__uuidof(IBankPaymentService), reinterpret_cast<void**>(&service)));
        EXPECT_EQ(2u, outer.refs) << "the inner object's interface counts on the outer object";
        ComPtr<IUnknown> identity;
        service->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
        EXPECT_EQ(static_cast<IUnknown*>(&outer), identity.GetInterfacePtr());
    }
    EXPECT_EQ(1u, outer.refs);

    EXPECT_EQ(S_FALSE, canUnloadNow());
    outer.inner = nullptr;
    EXPECT_EQ(S_FALSE, canUnloadNow()) << "the class object is still held";
}

TEST_F(ComponentDll, LateBoundCallersReachTheServiceThroughItsTypeLibrary)
{
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(
        S_OK,
        Factory(CLSID_BankPaymentService)->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&dispatch)));

    UINT count = 0;
    EXPECT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);

    auto idOf = [&](const wchar_t* name) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)) << name;
        return id;
    };

    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(
        S_OK,
        dispatch->Invoke(
            idOf(L"Name"), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr));
    ASSERT_EQ(VT_BSTR, result.vt);
    EXPECT_STREQ(L"Bank Payment Service", result.bstrVal);
    VariantClear(&result);

    VARIANT seven;
    VariantInit(&seven);
    seven.vt = VT_I4;
    seven.lVal = 7;
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS putParams = {&seven, &put, 1, 1};
    const DISPID status = idOf(L"Status");
    ASSERT_EQ(S_OK,
              dispatch->Invoke(
                  status, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &putParams, nullptr, nullptr, nullptr));
    ASSERT_EQ(S_OK,
              dispatch->Invoke(
                  status, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr));
    EXPECT_EQ(VT_I4, result.vt);
    EXPECT_EQ(7, result.lVal);
}
