// Transliteration of names and references through the shipped table and
// through tables with deletions.

#include <gtest/gtest.h>

#include <string>

#include "validation/tests/EmbeddedTable.h"

namespace {
std::wstring Through(const CCharacterMap& map, std::wstring text)
{
    map.Transliterate(text);
    return text;
}

CCharacterMap MapOf(const char* lines)
{
    return CCharacterMap(nullptr, [lines] { return std::istringstream(lines); });
}
}

TEST(Transliteration, NamesThroughTheShippedTable)
{
    const CCharacterMap map = EmbeddedMap();
    EXPECT_EQ(L"Muller + Sohne", Through(map, L"M\u00FCller & S\u00F6hne"));
    EXPECT_EQ(L"O Brien", Through(map, L"O'Brien"));
    EXPECT_EQ(L"Aro", Through(map, L"\u00C6r\u00F8"));
    EXPECT_EQ(L"Tessaloniki", Through(map, L"\u0398\u03B5\u03C3\u03C3\u03B1\u03BB\u03BF\u03BD\u03AF\u03BA\u03B7"));
    EXPECT_EQ(L"Suka", Through(map, L"\u0429\u0443\u043A\u0430"));
    EXPECT_EQ(L".100", Through(map, L"\u00A3100"));
    EXPECT_EQ(L"E", Through(map, L"\u20AC"));
    EXPECT_EQ(L"Str.-Nr-5 ( )", Through(map, L"Str.~Nr_5 [ }"));
}

TEST(Transliteration, EachCharacterIsMappedOnce)
{
    // The grave accent becomes an apostrophe, which is not mapped again.
    EXPECT_EQ(L"' ", Through(EmbeddedMap(), L"`'"));
    EXPECT_EQ(L"BC", Through(MapOf("U+0041,U+0042\nU+0042,U+0043\n"), L"AB"));
}

TEST(Transliteration, CharactersOutsideTheTablePass)
{
    const CCharacterMap map = EmbeddedMap();
    EXPECT_EQ(L"\u4E2D\u6587 \u0460", Through(map, L"\u4E2D\u6587 \u0460"));
    const std::wstring surrogates = {wchar_t(0xD83D), wchar_t(0xDE00)};
    EXPECT_EQ(surrogates, Through(map, surrogates));
    EXPECT_EQ(L"", Through(map, L""));
}

TEST(Transliteration, DeletionsAnywhereInTheText)
{
    const CCharacterMap map = MapOf("U+0041,U+\nU+0042,U+0000\n");
    EXPECT_EQ(L"", Through(map, L"AABBA"));
    EXPECT_EQ(L"xyz", Through(map, L"AxBAyBzA"));
}

TEST(Transliteration, ControlCharactersBecomeSpaces)
{
    const CCharacterMap map = EmbeddedMap();
    EXPECT_EQ(L"Line 1  Line 2 end", Through(map, L"Line 1\r\nLine 2\tend"));
    const std::wstring withNul = std::wstring(L"ab") + L'\0' + L"c\x1F";
    EXPECT_EQ(L"ab c ", Through(map, withNul));
    // Also when a table maps a character to a control character or has
    // none at all; a deletion still deletes.
    EXPECT_EQ(L"a c",
              Through(MapOf("U+0062,U+0009\nU+0001,U+\n"),
                      L"ab\x01"
                      L"c"));
    EXPECT_EQ(L" x ", Through(MapOf(""), L"\x07x\x0B"));
}

TEST(Transliteration, MegabyteTextsWithDeletionsStayWhole)
{
    const CCharacterMap map = MapOf("U+0041,U+\nU+00FC,U+0075\n");
    std::wstring text;
    const size_t repeats = (size_t(1) << 20) / 4;
    for (size_t i = 0; i < repeats; ++i)
        text += L"A\u00FCAx";
    map.Transliterate(text);
    ASSERT_EQ(repeats * 2, text.size());
    EXPECT_EQ(L"uxux", text.substr(0, 4));
    EXPECT_EQ(std::wstring::npos, text.find_first_not_of(L"ux"));

    std::wstring names;
    for (size_t i = 0; i < repeats; ++i)
        names += L"\u00C6r\u00F8";
    EmbeddedMap().Transliterate(names);
    EXPECT_EQ(repeats * 3, names.size());
    EXPECT_EQ(L"AroAro", names.substr(0, 6));
}
