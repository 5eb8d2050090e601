// Reading the registry scripts that registration runs.
#include "component/RegistryScript.h"

#include <gtest/gtest.h>

TEST(RegistryScript, ReadsEveryKindOfLineAndSubstitutesTheModulePath)
{
    const std::wstring script =
        L"; a comment\r\n"
        L"\r\n"
        L"key Prog.1 = Some Class\r\n"
        L"noremove CLSID\r\n"
        L"forceremove CLSID\\{X}\\Programmable\r\n"
        L"key CLSID\\{X}\\InprocServer32 = %MODULE%\r\n"
        L"value CLSID\\{X}\\InprocServer32 ThreadingModel = Apartment\n"
        L"  key   Spaced\\Key   =   text with  spaces  ";
    std::vector<RegistryLine> lines;
    ASSERT_TRUE(ParseRegistryScript(script, L"C:\\dir\\my.dll", lines));
    ASSERT_EQ(6u, lines.size());

    EXPECT_EQ(RegistryLineKind::Key, lines[0].kind);
    EXPECT_EQ(L"Prog.1", lines[0].path);
    EXPECT_TRUE(lines[0].hasData);
    EXPECT_EQ(L"Some Class", lines[0].data);

    EXPECT_EQ(RegistryLineKind::NoRemove, lines[1].kind);
    EXPECT_FALSE(lines[1].hasData);

    EXPECT_EQ(RegistryLineKind::ForceRemove, lines[2].kind);
    EXPECT_EQ(L"CLSID\\{X}\\Programmable", lines[2].path);
    EXPECT_FALSE(lines[2].hasData);

    EXPECT_EQ(L"C:\\dir\\my.dll", lines[3].data);

    EXPECT_EQ(RegistryLineKind::Value, lines[4].kind);
    EXPECT_EQ(L"CLSID\\{X}\\InprocServer32", lines[4].path);
    EXPECT_EQ(L"ThreadingModel", lines[4].name);
    EXPECT_EQ(L"Apartment", lines[4].data);

    EXPECT_EQ(L"Spaced\\Key", lines[5].path);
    EXPECT_EQ(L"text with  spaces", lines[5].data);
}

TEST(RegistryScript, RefusesMalformedLinesAndNamesTheLine)
{
    const wchar_t* malformed[] = {
        L"key",                    // no path
        L"remove Some\\Key",       // unknown keyword
        L"value Key\\Only = data", // a value needs a key and a name
        L"value Key Name",         // and data
        L"noremove CLSID = text",  // a kept key carries no value
        L"key \\Rooted",           // paths are relative
        L"key Trailing\\ = x",
    };
    for (const wchar_t* line : malformed) {
        std::vector<RegistryLine> lines;
        size_t faultLine = 0;
        const std::wstring script = std::wstring(L"key Good\n") + line;
        EXPECT_FALSE(ParseRegistryScript(script, L"m.dll", lines, &faultLine)) << line;
        EXPECT_EQ(2u, faultLine) << line;
        EXPECT_TRUE(lines.empty());
    }
}
