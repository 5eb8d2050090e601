// IBAN and BIC checks with the values they write back, and text cleaning.

#include <gtest/gtest.h>

#include <string>

#include "validation/IdentifierChecks.h"

namespace {
struct Case {
    const char* input;
    bool valid;
    const char* written; // the value the caller writes back
};

// Runs the check on each case's input: its verdict, and the value it leaves to be written back.
void ExpectChecks(bool (*check)(CString&), std::initializer_list<Case> cases)
{
    for (const Case& c : cases) {
        CString value(c.input);
        EXPECT_EQ(c.valid, check(value)) << '"' << c.input << '"';
        EXPECT_STREQ(c.written, value.GetString()) << '"' << c.input << '"';
    }
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
    const std::string longest = "GB82" + std::string(30, '1');
    const std::string tooLong = "gb82" + std::string(31, '1');
    ExpectChecks(IsValidIban,
                 {
                     {" xx12 abcd 3456", true, "XX12abcd3456"},
                     {"gb82", false, "gb82"}, // too short: not upper-cased
                     {"gb 82 w", true, "GB82w"},
                     {longest.c_str(), true, longest.c_str()},  // 34 characters
                     {tooLong.c_str(), false, tooLong.c_str()}, // 35 characters: not upper-cased
                 });
}

TEST(IdentifierChecks, IbanCharacterClassesByPosition)
{
    ExpectChecks(IsValidIban,
                 {
                     {"1B82WEST", false, "1B82WEST"}, // the country code is letters
                     {"GBX2WEST", false, "GBX2WEST"}, // the check digits are digits
                     {"GB8AWEST", false, "GB8AWEST"},
                     {"GB82-WEST", false, "GB82-WEST"}, // the rest is letters and digits
                     {"GB82\tWEST", false, "GB82\tWEST"},
                     {"GB82W\xC9ST", false, "GB82W\xC9ST"}, // ASCII letters only
                     {"", false, ""},
                 });
}

TEST(IdentifierChecks, BicLengthAndPositions)
{
    ExpectChecks(IsValidBic,
                 {
                     {"deut de ff", true, "DEUTDEFF"},     // spaces go, letters are upper-cased
                     {"DEUTDEFF500", true, "DEUTDEFF500"}, // 8 or 11 characters
                     {"DEUTDEFF5", false, "DEUTDEFF5"},
                     {"DEUTDEFF50", false, "DEUTDEFF50"},
                     {"DEUTDEF", false, "DEUTDEF"},
                     {"DEU1DEFF", false, "DEU1DEFF"}, // bank and country are letters
                     {"DEUTDE0F", false, "DEUTDE0F"}, // the location starts with a letter or 2 to 9
                     {"DEUTDE1F", false, "DEUTDE1F"},
                     {"DEUTDE2F", true, "DEUTDE2F"},
                     {"DEUTDE9F", true, "DEUTDE9F"},
                     {"DEUTDEFO", false, "DEUTDEFO"}, // its second character is a digit or a letter but O
                     {"deutdefo", false, "DEUTDEFO"},
                     {"DEUTDEF0", true, "DEUTDEF0"},
                     {"DEUTDEFP", true, "DEUTDEFP"},
                     {"DEUTDEFF5-0", false, "DEUTDEFF5-0"}, // the branch is letters and digits
                 });
}

TEST(IdentifierChecks, CleanTextCutsFirstThenTrims)
{
    const std::string letters(70, 'x');
    EXPECT_EQ(std::string(67, 'x'), Cleaned("   " + letters, 70, true));
    EXPECT_EQ(letters, Cleaned(letters + "yyyyyyyyyy", 70, true));
    EXPECT_EQ("Smith-Jones", Cleaned(" -Smith-Jones.- ", 0, true));
    EXPECT_EQ("M\xFCller + S\xF6hne", Cleaned("(M\xFCller + S\xF6hne)", 0, true));
    EXPECT_EQ("", Cleaned("--", 70, false));
    EXPECT_EQ("", Cleaned(" .,;\xE9 ", 0, false)); // bytes above 0x7F are not letters
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
