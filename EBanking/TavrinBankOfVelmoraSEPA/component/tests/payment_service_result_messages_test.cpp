// The payment service's texts for result codes, as the host asks for them.
#include "common/Bstr.h"
#include "common/ComObject.h"
#include "component/BankPaymentService.h"

#include "ComTestSupport.h"

#include <gtest/gtest.h>

using testsupport::TakeErrorDescription;

namespace {

class ResultMessage : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK,
                  CreateComObject<CBankPaymentService>(
                      nullptr, __uuidof(IBankPaymentService), reinterpret_cast<void**>(&service)));
    }
    void TearDown() override { service = nullptr; }

    std::wstring Text(LONG code)
    {
        CBstr text;
        EXPECT_EQ(S_OK, service->GetResultMessage(code, text.Receive())) << code;
        EXPECT_NE(nullptr, text.Get()) << code;
        return text.Text();
    }

    ComPtr<IBankPaymentService> service;
};

} // namespace

TEST_F(ResultMessage, CodesWithATextGetANewStringEachTime)
{
    EXPECT_EQ(L"Payment processed successfully.", Text(0));
    EXPECT_EQ(L"This payment is valid but the payment batch has been rejected because of errors elsewhere.", Text(20));
    EXPECT_EQ(L"Invalid Payer IBAN: the value must be in IBAN format and between 5 and 34 characters.", Text(105));

    CBstr first, second;
    ASSERT_EQ(S_OK, service->GetResultMessage(21, first.Receive()));
    ASSERT_EQ(S_OK, service->GetResultMessage(21, second.Receive()));
    EXPECT_EQ(first.Text(), second.Text());
    EXPECT_NE(first.Get(), second.Get());
}

TEST_F(ResultMessage, CodesWithoutATextSucceedAndLeaveTheStringAlone)
{
    const LONG codes[] = {3, 19, 36, 104, 109, -1};
    for (LONG code : codes) {
        const CBstr caller(SysAllocString(L"kept"));
        const BSTR before = caller.Get();
        BSTR out = before;
        EXPECT_EQ(S_OK, service->GetResultMessage(code, &out)) << code;
        EXPECT_EQ(before, out) << code;
        EXPECT_EQ(L"kept", caller.Text());
    }
}

TEST_F(ResultMessage, ANullOutParameterIsAnInvalidArgument)
{
    EXPECT_EQ(static_cast<HRESULT>(0x800AFFFC), service->GetResultMessage(0, nullptr));
    EXPECT_EQ(L"Invalid argument", TakeErrorDescription());
}
