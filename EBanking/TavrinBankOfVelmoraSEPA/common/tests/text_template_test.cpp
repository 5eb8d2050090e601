// TextTemplate: blanks filled by name, values taken as they are, a last line repeated per item.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/TextTemplate.h"

TEST(TextTemplate, EachBlankTakesTheValueOfItsName)
{
    EXPECT_EQ("From C:\\a to D:\\ and C:\\a again.",
              FillTemplate("From <from> to <to> and <from> again.", {{"to", "D:\\"}, {"from", "C:\\a"}}));
}

TEST(TextTemplate, ValuesAreNotSearchedForBlanks)
{
    EXPECT_EQ("The <name> file", FillTemplate("The <path> file", {{"path", "<name>"}, {"name", "x"}}));
}

TEST(TextTemplate, AnAngleBracketThatNamesNoValueStays)
{
    EXPECT_EQ("a < b <c> <d", FillTemplate("a < b <c> <d", {{"cc", "x"}, {"d", "y"}}));
}

TEST(TextTemplate, TheLastLineRepeatsOncePerValue)
{
    const char text[] = "Heading:\n  * <item>";
    EXPECT_EQ("Heading:\n  * one\n  * two\nlines", FillTemplateLines(text, "item", {"one", "two\nlines"}));
    EXPECT_EQ("Heading:", FillTemplateLines(text, "item", {}));
}
