// The shipped mapping table: its bytes, its order and what each range maps to.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "validation/tests/EmbeddedTable.h"

namespace {
std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    EXPECT_EQ(bytes.size(), start) << "text after the last CR LF";
    return lines;
}

// One replacement character per code point from first on.
void ExpectRun(const MappingTable& table, unsigned first, const std::string& expected)
{
    for (size_t i = 0; i < expected.size(); ++i) {
        const auto entry = table.find(static_cast<std::uint16_t>(first + i));
        ASSERT_NE(table.end(), entry) << std::hex << first + i;
        EXPECT_EQ(static_cast<unsigned char>(expected[i]), entry->second) << std::hex << first + i;
    }
}
}

TEST(EmbeddedTable, FileLayout)
{
    const std::string bytes = EmbeddedTableBytes();
    EXPECT_EQ(15964u, bytes.size());
    const std::vector<std::string> lines = Lines(bytes);
    ASSERT_EQ(1089u, lines.size());

    int kept = 0, trailingSpace = 0, spaceBeforeComma = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const unsigned code = i < 1088 ? 0x20 + static_cast<unsigned>(i) : 0x20AC;
        char key[8];
        std::snprintf(key, sizeof key, "U+%04X", code);
        EXPECT_EQ(key, line.substr(0, 6)) << "line " << i + 1;
        const size_t comma = line.find(',');
        ASSERT_NE(std::string::npos, comma) << line;
        const std::string value = line.substr(comma + 1);
        spaceBeforeComma += comma == 7 && line[6] == ' ';
        trailingSpace += !value.empty() && value.back() == ' ';
        if (value.empty())
            ++kept;
        else
            EXPECT_TRUE(value.compare(0, 2, "U+") == 0 && value.size() >= 6 && value.size() <= 7) << line;
    }
    EXPECT_EQ(72, kept);
    EXPECT_EQ(52, spaceBeforeComma);
    EXPECT_EQ(9, trailingSpace);
}

TEST(EmbeddedTable, AsciiKeepsTheSepaSetAndReplacesTheRest)
{
    const MappingTable table = EmbeddedMap().Table();
    const std::string kept = " ()+,-./0123456789:?ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    for (const char c : kept)
        EXPECT_EQ(0u, table.count(static_cast<std::uint16_t>(c))) << c;
    ExpectRun(table, 0x21, ". ...+ "); // ! " # $ % & '
    ExpectRun(table, 0x2A, ".");       // *
    ExpectRun(table, 0x3B, ",...");    // ; < = >
    ExpectRun(table, 0x40, ".");       // @
    ExpectRun(table, 0x5B, "(/).-'");  // [ \ ] ^ _ `
    ExpectRun(table, 0x7B, "(/)-.");   // { | } ~ DEL
}

TEST(EmbeddedTable, LatinGreekCyrillicAndEuro)
{
    const MappingTable table = EmbeddedMap().Table();
    ExpectRun(table, 0x80, std::string(32, '.'));
    ExpectRun(table, 0xA0, " " + std::string(30, '.') + "?");
    ExpectRun(table, 0xC0, "AAAAAAACEEEEIIII.NOOOOO.OUUUUYbsaaaaaaaceeeeiiii.nooooo.ouuuuypy");
    ExpectRun(table,
              0x100,
              "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHiHiIiIiIiIiIiIiJjKk.LlLlLlLlLlNnNnNn.......OoOoRrRrRrSsSsSsSsTt"
              "TtTtUuUuUuUuUuUuWwYyYZzZzZz.");
    ExpectRun(table, 0x180, std::string(0x218 - 0x180, '.') + "SsTt" + std::string(0x370 - 0x21C, '.'));
    ExpectRun(table,
              0x370,
              "......................A.EII.O.YOiAVGDEZITIKLMNXOPR.STYFCPOIYaeiiyavgdezitiklmnxoprsstyfcpoiyoyo......."
              "..........................................");
    ExpectRun(table,
              0x400,
              "................ABVGDEZZIYKLMNOPRSTUFHTCSSA.Y.YYabvgdezziyklmnoprstufhtcssa.y.yy................");
    ExpectRun(table, 0x20AC, "E");

    EXPECT_EQ(1017u, table.size());
    size_t stops = 0;
    for (const auto& entry : table) {
        EXPECT_NE(0u, entry.second) << std::hex << entry.first;
        stops += entry.second == '.';
    }
    EXPECT_EQ(689u, stops);
}

#ifdef _WIN32
TEST(EmbeddedTable, ComesFromTheModuleResources)
{
    EXPECT_EQ(1017u, CCharacterMap("C:\\no such folder\\mappings.csv").Table().size());
    try {
        LoadEmbeddedMappingBytes(GetModuleHandleA("kernel32.dll"));
        FAIL() << "a module without the table gave one";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ("Could not find Embedded Resource: ID_MAPPINGS.", e.what());
    }
}
#endif
