// CString: exact-size storage, concatenation, formatting and argument checks.

#include <gtest/gtest.h>

#include <string>

#include "common/CString.h"

namespace {
// The HRESULT that f throws, or 0 when it throws none.
template <class F>
HRESULT ThrownBy(F f)
{
    try {
        f();
    } catch (HRESULT hr) {
        return hr;
    }
    return 0;
}
}

TEST(StringStorage, ReadingEmptyAndShortStrings)
{
    const CString empty, copy(empty);
    EXPECT_EQ(0u, copy.GetLength());
    EXPECT_STREQ("", copy.GetString());
    EXPECT_EQ(E_INVALIDARG, ThrownBy([&] { empty.GetAt(0); }));

    const CString text("abc");
    EXPECT_EQ('c', text.GetAt(2));
    EXPECT_EQ(E_INVALIDARG, ThrownBy([&] { text.GetAt(3); }));
    EXPECT_EQ(E_INVALIDARG, ThrownBy([&] { text.GetAt(static_cast<size_t>(-1)); }));
}

TEST(StringStorage, AssignKeepsALargeEnoughBufferAndOtherwiseFitsExactly)
{
    CString text("abcdefgh");
    const char* buffer = text.GetString();
    text = "xyz";
    EXPECT_STREQ("xyz", text.GetString());
    EXPECT_EQ(buffer, text.GetString());
    EXPECT_EQ(8u, text.GetCapacity());

    text = CString("0123456789");
    EXPECT_EQ(10u, text.GetCapacity());

    // Its own text, or a tail of it, can be assigned to a string.
    text = text;
    text = text.GetString() + 4;
    EXPECT_STREQ("456789", text.GetString());
}

TEST(StringStorage, ConcatenationCopiesTheLeftSideAndGrowsToTheExactSize)
{
    const CString left("Tavrin");
    const CString joined = left + " Bank";
    EXPECT_STREQ("Tavrin Bank", joined.GetString());
    EXPECT_EQ(11u, joined.GetCapacity());
    EXPECT_STREQ("Tavrin", left.GetString());
    EXPECT_STREQ("TavrinTavrin", (left + left).GetString());
    EXPECT_STREQ("Tavrin", (left + "").GetString());
    EXPECT_STREQ("", (CString() + CString()).GetString());
}

TEST(StringStorage, NullTextIsAnInvalidArgumentAndLeavesTheStringAlone)
{
    CString text("kept");
    EXPECT_EQ(E_INVALIDARG, ThrownBy([&] { CString bad(static_cast<const char*>(nullptr)); }));
    EXPECT_EQ(E_INVALIDARG, ThrownBy([&] { text = static_cast<const char*>(nullptr); }));
    EXPECT_EQ(E_INVALIDARG, ThrownBy([&] { text + static_cast<const char*>(nullptr); }));
    EXPECT_EQ(E_INVALIDARG, ThrownBy([&] { text.Format(nullptr); }));
    EXPECT_STREQ("kept", text.GetString());
}

TEST(StringStorage, FormatWritesPrintfOutputCutTo255Characters)
{
    CString text;
    text.Format("%s%03d-%c", "BOV", 7, 'x');
    text.Format("[%s]", text.GetString());
    EXPECT_STREQ("[BOV007-x]", text.GetString());
    text.Format("%s", std::string(300, 'a').c_str());
    EXPECT_EQ(std::string(255, 'a'), text.GetString());
}

TEST(StringStorage, MegabyteStringsCopyAndConcatenate)
{
    const std::string half(1 << 19, 'q');
    const CString part(half.c_str());
    const CString whole = part + part;
    EXPECT_EQ(half + half, whole.GetString());
}
