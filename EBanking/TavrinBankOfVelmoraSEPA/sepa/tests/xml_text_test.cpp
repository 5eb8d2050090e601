// Host text that reaches the payment file keeps every character XML 1.0 allows and loses,
// one for one, each that it does not.
#include "sepa/XmlText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    std::wstring text;
    std::wstring xml;
    const char* condition;
};

} // namespace

TEST(XmlText, KeepsWhatXmlHoldsAndMarksWhatItCannot)
{
    const Case cases[] = {
        {L"", L"", "empty text"},
        {L"Velmora & <Supplies>", L"Velmora & <Supplies>", "markup characters are the engine's to escape"},
        {L"a\tb\nc\rd", L"a\tb\nc\rd", "tab, line feed and carriage return are allowed"},
        {std::wstring(L"a\0b", 3), L"a?b", "NUL"},
        {L"\x01\x08\x0B\x0C\x0E\x1F", L"??????", "the other controls below space"},
        {L"\x7F\x80\x9F\u00E9", L"\x7F\x80\x9F\u00E9", "DEL and the C1 controls are allowed"},
        {L"\uFFFD\uFFFE\uFFFF", L"\uFFFD??", "U+FFFE and U+FFFF are not characters"},
        {L"x\xD83D\xDE00y", L"x\xD83D\xDE00y", "a surrogate pair is one character"},
        {L"x\xD83Dy", L"x?y", "a high surrogate without its low half"},
        {L"x\xDE00y", L"x?y", "a low surrogate without its high half"},
        {L"x\xDE00\xD83D", L"x??", "a pair in the wrong order, the high one last"},
        {L"\xD83D\xD83D\xDE00", L"?\xD83D\xDE00", "a lone high surrogate before a whole pair"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.xml, WithXmlCharactersOnly(c.text.data(), c.text.size())) << c.condition;
        EXPECT_EQ(c.xml == c.text, HoldsOnlyXmlCharacters(c.text.data(), c.text.size())) << c.condition;
    }
}

TEST(XmlText, EveryCodeUnitComesOutAsOneUnitThatXmlHolds)
{
    std::wstring every;
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit)
        every += static_cast<wchar_t>(unit);
    const std::wstring xml = WithXmlCharactersOnly(every.data(), every.size());
    EXPECT_EQ(every.size(), xml.size());
    EXPECT_TRUE(HoldsOnlyXmlCharacters(xml.data(), xml.size()));
    // Only the last high surrogate meets a low one (U+DBFF, U+DC00); every other half is lone.
    EXPECT_EQ(std::wstring(L"\xDBFF\xDC00"), xml.substr(0xDBFF, 2));
    EXPECT_EQ(L'?', xml[0xD800]);
    EXPECT_EQ(L'?', xml[0xDC01]);
}
