// The services collection and its enumerator, as a host or a script walks them.
#include "common/Bstr.h"
#include "common/ComObject.h"
#include "component/BankServices.h"
#include "component/ComArray.h"

#include "ComTestSupport.h"
#include "HostObjects.h"

#include <gtest/gtest.h>

using tavrin_host::HostIdentification;
using tavrin_host::HostRef;
using testsupport::ClearErrorInfo;
using testsupport::TakeErrorDescription;

namespace {

const HRESULT kInvalidArgument = static_cast<HRESULT>(0x800AFFFC);

VARIANT Int(LONG value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}
VARIANT Real(double value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = value;
    return v;
}
VARIANT Omitted()
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ERROR;
    v.scode = DISP_E_PARAMNOTFOUND;
    return v;
}
// How a script hands over a variable: a reference to the variant that holds its value.
VARIANT RefTo(VARIANT& held)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_VARIANT | VT_BYREF;
    v.pvarVal = &held;
    return v;
}

class ServicesCollection : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(
            S_OK,
            CreateComObject<CBankServices>(nullptr, __uuidof(IBankServices), reinterpret_cast<void**>(&services)));
        ClearErrorInfo();
    }
    void TearDown() override { services = nullptr; }

    // The service found for an index, or what the call left in its out-parameter, with the
    // call's result in hr. The out-parameter starts as garbage, as a caller's may.
    ITavrinBankService* Item(VARIANT index, HRESULT& hr)
    {
        ITavrinBankService* service = reinterpret_cast<ITavrinBankService*>(static_cast<INT_PTR>(-1));
        hr = services->get_Item(index, &service);
        return service;
    }

    std::wstring NameOf(IUnknown* object)
    {
        ComPtr<ITavrinBankService> service;
        if (FAILED(object->QueryInterface(__uuidof(ITavrinBankService), reinterpret_cast<void**>(&service))))
            return L"";
        CBstr name;
        service->get_Name(name.Receive());
        return name.Text();
    }

    ComPtr<IEnumVARIANT> NewEnum()
    {
        ComPtr<IUnknown> unknown;
        EXPECT_EQ(S_OK, services->get__NewEnum(&unknown));
        ComPtr<IEnumVARIANT> enumerator;
        if (unknown) unknown->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&enumerator));
        return enumerator;
    }

    ComPtr<IBankServices> services;
};

} // namespace

TEST_F(ServicesCollection, HoldsThePaymentServiceFoundByPositionOrName)
{
    LONG count = 0;
    ASSERT_EQ(S_OK, services->get_Count(&count));
    EXPECT_EQ(1, count);

    HRESULT hr;
    ITavrinBankService* byInt = Item(Int(0), hr);
    ASSERT_EQ(S_OK, hr);
    ASSERT_NE(nullptr, byInt);
    EXPECT_EQ(L"Bank Payment Service", NameOf(byInt));

    _variant_t name(L"Bank Payment Service");
    BSTR text = SysAllocString(L"Bank Payment Service");
    VARIANT nameByReference;
    VariantInit(&nameByReference);
    nameByReference.vt = VT_BSTR | VT_BYREF;
    nameByReference.pbstrVal = &text;
    LONG zero = 0;
    VARIANT zeroByReference;
    VariantInit(&zeroByReference);
    zeroByReference.vt = VT_I4 | VT_BYREF;
    zeroByReference.plVal = &zero;
    VARIANT zeroHeld = Int(0);
    VARIANT nameInVariable = RefTo(name.GetVARIANT());
    VARIANT nameInVariablePassedOn = RefTo(nameInVariable);
    const VARIANT finds[] = {Real(0.0),
                             name,
                             nameByReference,
                             zeroByReference,
                             RefTo(zeroHeld),
                             nameInVariable,
                             nameInVariablePassedOn,
                             RefTo(nameByReference)};
    for (const VARIANT& index : finds) {
        ITavrinBankService* found = Item(index, hr);
        EXPECT_EQ(S_OK, hr) << "variant type " << index.vt;
        EXPECT_EQ(byInt, found) << "variant type " << index.vt;
        if (found) found->Release();
    }
    SysFreeString(text);
    byInt->Release();
}

TEST_F(ServicesCollection, IndexesThatFindNothingAreInvalidArguments)
{
    _variant_t digitZero(L"0"); // a string is always a name, never a position
    _variant_t lowerCase(L"bank payment service");
    _variant_t empty;
    VARIANT one = Int(1);
    VARIANT pointsNowhere = RefTo(one);
    pointsNowhere.pvarVal = nullptr;
    const VARIANT misses[] = {Int(1),
                              Int(-1),
                              Real(1.0),
                              digitZero,
                              lowerCase,
                              Omitted(),
                              empty,
                              RefTo(digitZero.GetVARIANT()),
                              RefTo(one),
                              RefTo(lowerCase.GetVARIANT()),
                              pointsNowhere};
    for (const VARIANT& index : misses) {
        HRESULT hr;
        ITavrinBankService* service = Item(index, hr);
        EXPECT_EQ(kInvalidArgument, hr) << "variant type " << index.vt;
        EXPECT_EQ(nullptr, service);
        EXPECT_EQ(L"Invalid argument", TakeErrorDescription());
    }
    EXPECT_EQ(kInvalidArgument, services->get_Item(Int(0), nullptr));
    EXPECT_EQ(kInvalidArgument, services->get_Count(nullptr));
    EXPECT_EQ(kInvalidArgument, services->get__NewEnum(nullptr));
}

TEST_F(ServicesCollection, NextDeliversTheServiceOnceThenReportsTheEnd)
{
    const ComPtr<IEnumVARIANT> enumerator = NewEnum();
    ASSERT_NE(nullptr, enumerator);

    VARIANT item;
    ULONG fetched = 99;
    ASSERT_EQ(S_OK, enumerator->Next(1, &item, &fetched));
    EXPECT_EQ(1u, fetched);
    ASSERT_EQ(VT_DISPATCH, item.vt);
    EXPECT_EQ(L"Bank Payment Service", NameOf(item.pdispVal));
    VariantClear(&item);

    fetched = 99;
    EXPECT_EQ(S_FALSE, enumerator->Next(1, &item, &fetched));
    EXPECT_EQ(0u, fetched);
    EXPECT_EQ(VT_EMPTY, item.vt);

    // Five asked for at once: one delivered, the rest left empty.
    EXPECT_EQ(S_OK, enumerator->Reset());
    VARIANT five[5];
    fetched = 99;
    EXPECT_EQ(S_FALSE, enumerator->Next(5, five, &fetched));
    EXPECT_EQ(1u, fetched);
    EXPECT_EQ(VT_DISPATCH, five[0].vt);
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(VT_EMPTY, five[i].vt);
    for (VARIANT& v : five)
        VariantClear(&v);
}

TEST_F(ServicesCollection, SkipResetAndCloneKeepTheirPositions)
{
    const ComPtr<IEnumVARIANT> enumerator = NewEnum();
    ASSERT_NE(nullptr, enumerator);
    EXPECT_EQ(S_FALSE, enumerator->Skip(1)) << "skipping past the only service is refused";
    VARIANT item;
    ASSERT_EQ(S_OK, enumerator->Next(1, &item, nullptr)) << "and the position did not move";
    VariantClear(&item);

    ComPtr<IEnumVARIANT> clone;
    ASSERT_EQ(S_OK, enumerator->Clone(&clone));
    ULONG fetched = 99;
    EXPECT_EQ(S_FALSE, clone->Next(1, &item, &fetched)) << "a clone starts where its original stood";
    EXPECT_EQ(0u, fetched);
    EXPECT_EQ(S_OK, clone->Reset());
    EXPECT_EQ(S_OK, clone->Next(1, &item, nullptr));
    VariantClear(&item);
    EXPECT_EQ(S_OK, enumerator->Reset());
    EXPECT_EQ(S_OK, enumerator->Next(1, &item, nullptr)) << "reset after a full walk starts again";
    VariantClear(&item);
    EXPECT_EQ(S_FALSE, enumerator->Skip(0)) << "at the end even an empty skip is refused";
    EXPECT_EQ(S_OK, enumerator->Reset());
    EXPECT_EQ(S_OK, enumerator->Skip(0));
}

TEST_F(ServicesCollection, EnumeratorAnswersOnlyItsOwnInterfacesAsOneObject)
{
    // Held by hand: the test counts its releases.
    IEnumVARIANT* enumerator = NewEnum().Detach();
    ASSERT_NE(nullptr, enumerator);
    ComPtr<IUnknown> unknown;
    ComPtr<IEnumVARIANT> again;
    ASSERT_EQ(S_OK, enumerator->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)));
    ASSERT_EQ(S_OK, enumerator->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&again)));
    EXPECT_EQ(static_cast<IUnknown*>(enumerator), unknown.GetInterfacePtr());
    EXPECT_EQ(enumerator, again.GetInterfacePtr());
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, enumerator->QueryInterface(IID_IDispatch, &other));
    EXPECT_EQ(nullptr, other);
    EXPECT_EQ(E_POINTER, enumerator->QueryInterface(IID_IUnknown, nullptr));
    unknown = nullptr;
    again = nullptr;
    EXPECT_EQ(1u, enumerator->AddRef() - 1);
    EXPECT_EQ(1u, enumerator->Release());
    EXPECT_EQ(0u, enumerator->Release()) << "the last release ends the enumerator";
}

TEST_F(ServicesCollection, EnumeratorOutlivesTheCollectionsLastHostReference)
{
    const ComPtr<IEnumVARIANT> enumerator = NewEnum();
    ASSERT_NE(nullptr, enumerator);
    services = nullptr;

    VARIANT item;
    ASSERT_EQ(S_OK, enumerator->Next(1, &item, nullptr));
    EXPECT_EQ(L"Bank Payment Service", NameOf(item.pdispVal));
    VariantClear(&item);
}

TEST_F(ServicesCollection, ScriptsGetTheEnumeratorAsMethodOrProperty)
{
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, services->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)));
    const WORD kinds[] = {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_METHOD | DISPATCH_PROPERTYGET};
    for (WORD kind : kinds) {
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        VARIANT result;
        VariantInit(&result);
        ASSERT_EQ(
            S_OK,
            dispatch->Invoke(DISPID_NEWENUM, IID_NULL, LOCALE_USER_DEFAULT, kind, &none, &result, nullptr, nullptr))
            << kind;
        ASSERT_EQ(VT_UNKNOWN, result.vt);
        ComPtr<IEnumVARIANT> enumerator;
        EXPECT_EQ(S_OK, result.punkVal->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&enumerator)));
        VariantClear(&result);
    }
}

TEST_F(ServicesCollection, ErrorInfoIsSupportedOnlyForItsOwnInterface)
{
    ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(S_OK, services->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)));
    EXPECT_EQ(S_OK, support->InterfaceSupportsErrorInfo(__uuidof(IBankServices)));
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(__uuidof(ITavrinBankServices)));
}

TEST(ServiceArray, GrowsInStepsOfEightKeepingOrderAndReferences)
{
    std::vector<HostRef<HostIdentification>> elements;
    for (int i = 0; i < 10; ++i)
        elements.push_back(HostIdentification::Create(std::to_wstring(i)));

    {
        CArray<IIdentification> array;
        EXPECT_EQ(0, array.GetCapacity());
        array.Add(elements[0].get());
        EXPECT_EQ(8, array.GetCapacity());
        for (int i = 1; i < 9; ++i)
            array.Add(elements[static_cast<size_t>(i)].get());
        EXPECT_EQ(16, array.GetCapacity());
        EXPECT_EQ(9, array.GetCount());
        EXPECT_EQ(2u, elements[0]->RefCount()) << "the array holds one reference per element";

        array.Remove(0);
        EXPECT_EQ(1u, elements[0]->RefCount());
        EXPECT_EQ(static_cast<IIdentification*>(elements[1].get()), array.Peek(0)) << "later elements move down";
        EXPECT_EQ(static_cast<IIdentification*>(elements[8].get()), array.Peek(7));
        EXPECT_EQ(nullptr, array.Peek(8));

        IIdentification* taken = array.GetAt(3);
        EXPECT_EQ(static_cast<IIdentification*>(elements[4].get()), taken);
        EXPECT_EQ(3u, elements[4]->RefCount());
        taken->Release();

        auto thrown = [](auto&& action) {
            try {
                action();
            } catch (HRESULT hr) {
                return hr;
            }
            return S_OK;
        };
        EXPECT_EQ(E_INVALIDARG, thrown([&] { array.Add(nullptr); }));
        EXPECT_EQ(E_INVALIDARG, thrown([&] { array.Remove(8); }));
        EXPECT_EQ(E_INVALIDARG, thrown([&] { array.Remove(-1); }));
        EXPECT_EQ(E_INVALIDARG, thrown([&] { array.GetAt(8); }));

        array.RemoveAll();
        EXPECT_EQ(0, array.GetCount());
        EXPECT_EQ(0, array.GetCapacity());
        for (int i = 1; i < 9; ++i)
            EXPECT_EQ(1u, elements[static_cast<size_t>(i)]->RefCount());
        array.Add(elements[9].get());
    }
    EXPECT_EQ(1u, elements[9]->RefCount()) << "destroying the array releases what it holds";
}

TEST_F(ServicesCollection, LateBoundCallersSeeTheFailureAndItsDescription)
{
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, services->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)));
    _variant_t wrongName(L"bank payment service");
    DISPPARAMS params = {&wrongName.GetVARIANT(), nullptr, 1, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception = {};
    const HRESULT hr = dispatch->Invoke(
        DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &params, &result, &exception, nullptr);
    EXPECT_EQ(DISP_E_EXCEPTION, hr);
    EXPECT_EQ(static_cast<SCODE>(0x800AFFFC), exception.scode);
    EXPECT_STREQ(L"Invalid argument", exception.bstrDescription);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrHelpFile);
    VariantClear(&result);
}
