// CString's conversions to BSTR and from the string table.

#include <gtest/gtest.h>

#include "common/CString.h"

TEST(StringWindows, AllocSysStringWidensTheWholeText)
{
    const BSTR wide = CString("DE44 5001").AllocSysString();
    ASSERT_NE(nullptr, wide);
    EXPECT_EQ(9u, SysStringLen(wide));
    EXPECT_STREQ(L"DE44 5001", wide);
    SysFreeString(wide);

    const BSTR empty = CString().AllocSysString();
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ(0u, SysStringLen(empty));
    SysFreeString(empty);
}

TEST(StringWindows, LoadStringOfAMissingEntryEmptiesTheString)
{
    CString text("previous");
    EXPECT_FALSE(text.LoadString(GetModuleHandleA(nullptr), 65000));
    EXPECT_STREQ("", text.GetString());
}
