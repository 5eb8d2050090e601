// How thrown failures become HRESULTs and error information at the COM boundary.
#include "common/ComError.h"

#include "ComTestSupport.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

using testsupport::ClearErrorInfo;
using testsupport::NoErrorInfo;
using testsupport::TakeErrorDescription;

namespace {

HRESULT Throwing(HRESULT hr)
{
    return ComMethod([&] { throw hr; });
}

struct TableRow {
    HRESULT thrown;
    HRESULT returned;
    const wchar_t* description;
};

} // namespace

TEST(ComErrorReporting, EachDescribedHResultGetsItsControlCodeAndText)
{
    const TableRow rows[] = {
        {E_UNEXPECTED, static_cast<HRESULT>(0x800AFFFE), L"Unexpected result"},
        {E_OUTOFMEMORY, static_cast<HRESULT>(0x800AFFFD), L"Out of Memory"},
        {E_INVALIDARG, static_cast<HRESULT>(0x800AFFFC), L"Invalid argument"},
        {E_NOTIMPL, static_cast<HRESULT>(0x800AFFFB), L"Not implemented"},
        {E_NOINTERFACE, static_cast<HRESULT>(0x800AFFFA), L"Interface not supported"},
        // Not in the table: described and answered as an unexpected result.
        {E_ACCESSDENIED, static_cast<HRESULT>(0x800AFFFE), L"Unexpected result"},
        {E_FAIL, static_cast<HRESULT>(0x800AFFFE), L"Unexpected result"},
    };
    for (const TableRow& row : rows) {
        ClearErrorInfo();
        EXPECT_EQ(row.returned, Throwing(row.thrown)) << std::hex << row.thrown;
        EXPECT_EQ(row.description, TakeErrorDescription()) << std::hex << row.thrown;
    }
}

TEST(ComErrorReporting, ControlFacilityAndDispatchExceptionPassUnchangedWithoutTouchingErrorInfo)
{
    const HRESULT passThrough[] = {
        static_cast<HRESULT>(0x800AFFFC), static_cast<HRESULT>(0x800A0001), DISP_E_EXCEPTION};
    for (HRESULT hr : passThrough) {
        // Whatever error information the thread holds stays as it was.
        ICreateErrorInfo* create = nullptr;
        ASSERT_EQ(S_OK, CreateErrorInfo(&create));
        create->SetDescription(const_cast<LPOLESTR>(L"earlier"));
        IErrorInfo* info = nullptr;
        create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
        SetErrorInfo(0, info);
        info->Release();
        create->Release();

        EXPECT_EQ(hr, ReportHResult(hr));
        EXPECT_EQ(L"earlier", TakeErrorDescription());
    }
}

TEST(ComErrorReporting, ComErrorGivesDispatchExceptionAndSetsNoErrorInfo)
{
    ClearErrorInfo();
    HRESULT hr = ComMethod([] { _com_issue_error(E_FAIL); });
    EXPECT_EQ(DISP_E_EXCEPTION, hr);
    EXPECT_TRUE(NoErrorInfo());
}

TEST(ComErrorReporting, AnyOtherExceptionGivesUnexpectedWithoutErrorInfo)
{
    ClearErrorInfo();
    EXPECT_EQ(E_UNEXPECTED, ComMethod([] { throw std::runtime_error("boom"); }));
    EXPECT_TRUE(NoErrorInfo());
    EXPECT_EQ(E_UNEXPECTED, ComMethod([] { throw 42; }));
    EXPECT_TRUE(NoErrorInfo());
    // Out of memory outside a thrown HRESULT is no exception to the rule for methods.
    EXPECT_EQ(E_UNEXPECTED, ComMethod([] { throw std::bad_alloc(); }));
    EXPECT_TRUE(NoErrorInfo());
}

TEST(ComErrorReporting, BodyThatEndsNormallyAnswersOk)
{
    bool ran = false;
    EXPECT_EQ(S_OK, ComMethod([&] { ran = true; }));
    EXPECT_TRUE(ran);
}

TEST(ComErrorReporting, RequireArgumentThrowsInvalidArgumentOnlyForNull)
{
    int value = 0;
    EXPECT_EQ(S_OK, ComMethod([&] { RequireArgument(&value); }));
    ClearErrorInfo();
    EXPECT_EQ(static_cast<HRESULT>(0x800AFFFC), ComMethod([&] { RequireArgument(static_cast<int*>(nullptr)); }));
    EXPECT_EQ(L"Invalid argument", TakeErrorDescription());
}
