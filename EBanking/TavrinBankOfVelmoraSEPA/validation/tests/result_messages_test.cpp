// The message texts of payment result codes, as the module's string table holds them.
#include "validation/ResultMessages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

std::string Loaded(long code)
{
    CString message("previous");
    EXPECT_TRUE(LoadResultMessage(message, code)) << code;
    return message.GetString();
}

} // namespace

TEST(ResultMessages, ExactlyTheDocumentedCodesHaveAText)
{
    const std::set<long> withText = {0,  1,  2,  20, 21, 22, 23, 24,  25,  26,  27, 28,
                                     29, 30, 31, 32, 33, 34, 35, 105, 106, 107, 108};
    for (long code = -310; code <= 420; ++code) {
        CString message;
        EXPECT_EQ(withText.count(code) != 0, LoadResultMessage(message, code)) << code;
        EXPECT_EQ(withText.count(code) != 0, message.GetLength() != 0) << code;
    }
}

TEST(ResultMessages, TextsComeWholeFromTheStringTable)
{
    EXPECT_EQ("Payment processed successfully.", Loaded(0));
    EXPECT_EQ("IDS_ERR_RTI_LENGTH", Loaded(1));
    EXPECT_EQ("This payment is valid but the payment batch has been rejected because of errors elsewhere.", Loaded(20));
    EXPECT_EQ(
        "Invalid Payee BACS Reference. This value must be greater than 6 characters, Must not contain the "
        "same repeating characters, must comprise of alphanumeric values with the addition of &/-. and "
        "spaces",
        Loaded(27));
    EXPECT_EQ("Invalid or unknown currency specified.", Loaded(34));
    EXPECT_EQ("Invalid Payer IBAN: the value must be in IBAN format and between 5 and 34 characters.", Loaded(105));
    EXPECT_EQ("Invalid Payee BIC: the value must be in BIC format and either 8 or 11 characters.", Loaded(108));
}

TEST(ResultMessages, ACodeWithoutATextLeavesNoBstr)
{
    EXPECT_EQ(nullptr, ResultMessageFor(3));
    EXPECT_EQ(nullptr, ResultMessageFor(109));
    const BSTR text = ResultMessageFor(25);
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(std::wstring(L"Invalid or missing Payer bank account name."), std::wstring(text, SysStringLen(text)));
    SysFreeString(text);
}
