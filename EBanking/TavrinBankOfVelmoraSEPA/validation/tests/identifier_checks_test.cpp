// IBAN and BIC checks with the values they write back, and text cleaning.

#include <gtest/gtest.h>

#include <string>

#include "validation/IdentifierChecks.h"

namespace
{
struct Case
{
    const char* input;
    bool valid;
    const char* written;  // the value the caller writes back
};

void ExpectIban(const Case& c)
{
    CString value(c.input);
    EXPECT_EQ(c.valid, IsValidIban(value)) << '"' << c.input << '"';
    EXPECT_STREQ(c.written, value.GetString()) << '"' << c.input << '"';
}

void ExpectBic(const Case& c)
{
    CString value(c.input);
    EXPECT_EQ(c.valid, IsValidBic(value)) << '"' << c.input << '"';
    EXPECT_STREQ(c.written, value.GetString()) << '"' << c.input << '"';
}

std::string Cleaned(const std::string& input, size_t maxChars, bool expectResult)
{
    CString text(input.c_str());
    EXPECT_EQ(expectResult, CleanText(text, maxChars)) << '"' << input << '"';
    return text.GetString();
}
}

TEST(IdentifierChecks, NormaliseRemovesOnlySpacesAndUpperCasesOnlyAscii)
{
    CString value(" a\tb c\xE9 ");
    NormaliseIdentifier(value, true, false);
    EXPECT_STREQ("a\tbc\xE9", value.GetString());
    NormaliseIdentifier(value, false, true);
    EXPECT_STREQ("A\tBC\xE9", value.GetString());
}

TEST(IdentifierChecks, IbanLengthIsCheckedAfterSpacesAreGone)
{
    ExpectIban({" xx12 abcd 3456", true, "XX12abcd3456"});
    ExpectIban({"gb82", false, "gb82"});  // too short: not upper-cased
    ExpectIban({"gb 82 w", true, "GB82w"});
    const std::string longest = "GB82" + std::string(30, '1');
    ExpectIban({longest.c_str(), true, longest.c_str()});
    const std::string tooLong = "gb82" + std::string(31, '1');
    ExpectIban({tooLong.c_str(), false, tooLong.c_str()});
}

TEST(IdentifierChecks, IbanCharacterClassesByPosition)
{
    ExpectIban({"1B82WEST", false, "1B82WEST"});
    ExpectIban({"GBX2WEST", false, "GBX2WEST"});
    ExpectIban({"GB8AWEST", false, "GB8AWEST"});
    ExpectIban({"GB82-WEST", false, "GB82-WEST"});
    ExpectIban({"GB82\tWEST", false, "GB82\tWEST"});
    ExpectIban({"GB82W\xC9ST", false, "GB82W\xC9ST"});
    ExpectIban({"", false, ""});
}

TEST(IdentifierChecks, BicLengthAndPositions)
{
    ExpectBic({"deut de ff", true, "DEUTDEFF"});
    ExpectBic({"DEUTDEFF500", true, "DEUTDEFF500"});
    ExpectBic({"DEUTDEFF5", false, "DEUTDEFF5"});
    ExpectBic({"DEUTDEFF50", false, "DEUTDEFF50"});
    ExpectBic({"DEUTDEF", false, "DEUTDEF"});
    ExpectBic({"DEU1DEFF", false, "DEU1DEFF"});     // bank and country are letters
    ExpectBic({"DEUTDE0F", false, "DEUTDE0F"});
    ExpectBic({"DEUTDE1F", false, "DEUTDE1F"});
    ExpectBic({"DEUTDE2F", true, "DEUTDE2F"});
    ExpectBic({"DEUTDE9F", true, "DEUTDE9F"});
    ExpectBic({"DEUTDEFO", false, "DEUTDEFO"});
    ExpectBic({"deutdefo", false, "DEUTDEFO"});
    ExpectBic({"DEUTDEF0", true, "DEUTDEF0"});
    ExpectBic({"DEUTDEFP", true, "DEUTDEFP"});
    ExpectBic({"DEUTDEFF5-0", false, "DEUTDEFF5-0"});
}

TEST(IdentifierChecks, CleanTextCutsFirstThenTrims)
{
    const std::string letters(70, 'x');
    EXPECT_EQ(std::string(67, 'x'), Cleaned("   " + letters, 70, true));
    EXPECT_EQ(letters, Cleaned(letters + "yyyyyyyyyy", 70, true));
    EXPECT_EQ("Smith-Jones", Cleaned(" -Smith-Jones.- ", 0, true));
    EXPECT_EQ("M\xFCller + S\xF6hne", Cleaned("(M\xFCller + S\xF6hne)", 0, true));
    EXPECT_EQ("", Cleaned("--", 70, false));
    EXPECT_EQ("", Cleaned(" .,;\xE9 ", 0, false));  // bytes above 0x7F are not letters
    EXPECT_EQ("ab", Cleaned("ab", 1000, true));
}

TEST(IdentifierChecks, MegabyteValuesAreHandledWhole)
{
    const size_t size = size_t(1) << 20;
    std::string spaced;
    for (size_t i = 0; spaced.size() < size; ++i)
        spaced += "ab ";
    CString value(spaced.c_str());
    NormaliseIdentifier(value, true, true);
    EXPECT_EQ(spaced.size() / 3 * 2, value.GetLength());
    EXPECT_EQ('A', value.GetAt(0));
    EXPECT_EQ('B', value.GetAt(value.GetLength() - 1));

    const std::string body(size, 'z');
    EXPECT_EQ(body, Cleaned("  ." + body + "!!", 0, true));
}
