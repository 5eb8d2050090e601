// Reading mapping codes and lines, and choosing between the override file
// and the embedded table.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "validation/CharacterMap.h"

namespace {
MappingTable Parse(const std::string& text)
{
    std::istringstream in(text);
    MappingTable table;
    ReadMappingLines(in, table);
    return table;
}

std::istringstream NoEmbeddedTable() { throw std::runtime_error("embedded table read"); }

class OverrideFile : public testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        m_path = std::filesystem::temp_directory_path() / (std::string("mappings_") + info->name() + ".csv");
    }
    void TearDown() override { std::filesystem::remove(m_path); }

    // A map built from bytes written to the override file.
    CCharacterMap MapFrom(const std::string& bytes)
    {
        std::ofstream(m_path, std::ios::binary) << bytes;
        return CCharacterMap(m_path.string().c_str(), &NoEmbeddedTable);
    }

    std::filesystem::path m_path;
};
}

TEST(MappingCode, ReadsHexAfterTheFirstTwoCharactersAsStrtoulDoes)
{
    EXPECT_EQ(0x00E9, ParseMappingCode("U+00E9"));
    EXPECT_EQ(0x00E9, ParseMappingCode("xx00e9"));    // the prefix is not checked
    EXPECT_EQ(0x0041, ParseMappingCode("U+0041 "));   // trailing blanks ignored
    EXPECT_EQ(0x0041, ParseMappingCode("U+ \t0041")); // leading blanks skipped
    EXPECT_EQ(0x0041, ParseMappingCode("U+0x41"));
    EXPECT_EQ(0x0041, ParseMappingCode("U++41"));
    EXPECT_EQ(0xFFBF, ParseMappingCode("U+-41"));  // negated in 32 bits
    EXPECT_EQ(0x0012, ParseMappingCode("U+12G4")); // stops at the first non-digit
    EXPECT_EQ(0, ParseMappingCode("U+"));
    EXPECT_EQ(0, ParseMappingCode("U+zz"));
    EXPECT_EQ(0, ParseMappingCode("U+0xg"));
    EXPECT_EQ(0, ParseMappingCode("U"));
    EXPECT_EQ(0xF600, ParseMappingCode("U+1F600")); // low 16 bits only
    EXPECT_EQ(0x5678, ParseMappingCode("U+12345678"));
    EXPECT_EQ(0xFFFF, ParseMappingCode("U+123456789")); // overflow saturates
}

TEST(MappingLines, FieldsLinesAndDuplicates)
{
    const MappingTable table = Parse(
        "U+0041,U+0042\n"
        "U+0043,\n"               // empty replacement: no entry
        "U+0044,U\n"              // one character: no entry
        "U+0045,U+\n"             // bare U+: deletion
        "U+0046,junk\n"           // unreadable replacement: deletion
        "U+0041,U+0058\n"         // a later line wins
        "U+0047\nU+0048,U+0049\n" // no comma: the key runs on into the next line
        "U+004A,U+004B");         // no final line feed
    const MappingTable expected = {{0x41, 0x58}, {0x45, 0}, {0x46, 0}, {0x47, 0x49}, {0x4A, 0x4B}};
    EXPECT_EQ(expected, table);

    EXPECT_TRUE(Parse("").empty());
    EXPECT_TRUE(Parse("U+0041").empty());
    EXPECT_TRUE(Parse("U+0041,").empty());
}

TEST(MappingLines, ByteOrderMarkSpoilsTheFirstKey)
{
    const MappingTable table = Parse("\xEF\xBB\xBFU+0041,U+0042\nU+0043,U+0044\n");
    const MappingTable expected = {{0x0000, 0x42}, {0x43, 0x44}};
    EXPECT_EQ(expected, table);
}

TEST(MappingLines, MegabyteOverrideReadsEveryLine)
{
    std::string text;
    for (unsigned i = 0; text.size() < (1u << 20); ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "U+%04X,U+%04X\n", i & 0xFFFF, (i >> 16) + 1);
        text += line;
    }
    const MappingTable table = Parse(text);
    EXPECT_EQ(65536u, table.size());
    EXPECT_EQ(2, table.at(0)); // more lines than keys: the second round won
    EXPECT_EQ(1, table.at(0xFFFF));
}

TEST_F(OverrideFile, ReplacesTheEmbeddedTableEntirely)
{
    const CCharacterMap map = MapFrom("U+0041,U+\n");
    std::wstring text = L"AbrAhAm M\u00FCller \u20AC";
    map.Transliterate(text);
    EXPECT_EQ(L"brhm M\u00FCller \u20AC", text);

    EXPECT_TRUE(MapFrom("").Table().empty());
    EXPECT_TRUE(MapFrom("no mappings here").Table().empty());
}

TEST_F(OverrideFile, ReadsAsTextModeDoes)
{
    const MappingTable expected = {{0x41, 0x42}, {0x44, 0}};
    EXPECT_EQ(expected, MapFrom("U+0041,U+0042\nU+0043,\nU+0044,U+\nU+0045,U\n").Table());
    EXPECT_EQ(expected, MapFrom("U+0041,U+0042\r\nU+0043,\r\nU+0044,U+\r\nU+0045,U\r\n").Table());
    // Ctrl+Z ends the text.
    EXPECT_EQ(expected, MapFrom("U+0041,U+0042\r\nU+0044,U+\r\n\x1AU+0046,U+0047\r\n").Table());
}

TEST(MappingSource, EmbeddedTableOnlyWhenTheFileCannotBeOpened)
{
    int reads = 0;
    auto embedded = [&reads] {
        ++reads;
        return std::istringstream("U+0041,U+0042\n");
    };
    const std::filesystem::path missing = std::filesystem::temp_directory_path() / "no_such_dir" / "x.csv";
    EXPECT_EQ(1u, CCharacterMap(missing.string().c_str(), embedded).Table().size());
    EXPECT_EQ(1u, CCharacterMap(nullptr, embedded).Table().size());
    // A folder is not a readable file.
    EXPECT_EQ(1u, CCharacterMap(std::filesystem::temp_directory_path().string().c_str(), embedded).Table().size());
    EXPECT_EQ(3, reads);

    try {
        CCharacterMap map(missing.string().c_str(), &NoEmbeddedTable);
        FAIL() << "the embedded table's failure was swallowed";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ("embedded table read", e.what());
    }
}
