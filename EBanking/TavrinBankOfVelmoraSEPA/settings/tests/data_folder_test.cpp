// The data folder: built once from the shell's common application data
// folder, and asked for again while the shell cannot answer.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/DataFolder.h"

#include <shlobj.h>

namespace {
int g_queries = 0;
const char* g_answer = nullptr; // null: the query fails

bool FakeQuery(char* path)
{
    ++g_queries;
    if (!g_answer) {
        std::strcpy(path, "half-written");
        return false;
    }
    std::strcpy(path, g_answer);
    return true;
}
}

TEST(DataFolder, AppendsTheHostFolderToCommonApplicationData)
{
    char common[MAX_PATH] = "";
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, common, CSIDL_COMMON_APPDATA, FALSE));
    const char* folder = GetDataFolder();
    EXPECT_EQ(std::string(common) + "\\TAVRIN\\Tavrin EBanking", folder);
    EXPECT_EQ(folder, GetDataFolder());
}

TEST(DataFolder, AsksAgainUntilTheShellAnswersThenKeepsTheAnswer)
{
    g_queries = 0;
    g_answer = nullptr;
    CDataFolderCache cache(&FakeQuery);
    EXPECT_STREQ("", cache.Get());
    EXPECT_STREQ("", cache.Get());
    EXPECT_EQ(2, g_queries);

    g_answer = "C:\\ProgramData";
    const char* folder = cache.Get();
    EXPECT_STREQ("C:\\ProgramData\\TAVRIN\\Tavrin EBanking", folder);
    g_answer = "D:\\Elsewhere";
    EXPECT_EQ(folder, cache.Get());
    EXPECT_STREQ("C:\\ProgramData\\TAVRIN\\Tavrin EBanking", folder);
    EXPECT_EQ(3, g_queries);
}

TEST(DataFolder, APathTooLongToExtendIsNotUsed)
{
    g_queries = 0;
    const std::string longPath = "C:\\" + std::string(MAX_PATH - 10, 'p');
    g_answer = longPath.c_str();
    CDataFolderCache cache(&FakeQuery);
    EXPECT_STREQ("", cache.Get());
    g_answer = "C:\\";
    EXPECT_STREQ("C:\\TAVRIN\\Tavrin EBanking", cache.Get());
    EXPECT_EQ(2, g_queries);
}
