#include "sepa/OutputPath.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {
// A system with a fixed clock, a set of folders that hold files and a
// documents folder; it records the searches and messages it is asked for.
class CFakeDefaultPathPlatform : public IDefaultPathPlatform {
public:
    CalendarTime now{2014, 3, 6, 16, 3, 21};
    std::set<std::string> patternsWithEntries;
    std::string fallbackFolder = "C:\\Users\\clerk\\Documents";
    std::vector<std::string> searches;
    std::vector<std::string> messages;

    CalendarTime CurrentUtcTime() override { return now; }

    bool SearchFindsEntry(const std::string& pattern) override
    {
        searches.push_back(pattern);
        return patternsWithEntries.count(pattern) != 0;
    }

    std::string FallbackFolder() override { return fallbackFolder; }

    void ShowInvalidDirectoryMessage(const std::string& text) override { messages.push_back(text); }
};

const char kFileName[] = "BOV20140306160321PAIN001.xml";

std::string Build(CFakeDefaultPathPlatform& platform, const char* directory, const char* extension = "xml")
{
    char path[1024];
    std::memset(path, '#', sizeof path);
    if (!BuildDefaultOutputPath(platform, directory, extension, path, sizeof path))
        return "(failed: \"" + std::string(path) + "\")";
    return path;
}

TEST(DefaultOutputPath, ExistingDirectoryWithOrWithoutSeparatorGivesOnePath)
{
    CFakeDefaultPathPlatform platform;
    platform.patternsWithEntries = {"D:\\Payments\\*.*"};

    EXPECT_EQ(std::string("D:\\Payments\\") + kFileName, Build(platform, "D:\\Payments\\"));
    EXPECT_EQ(std::string("D:\\Payments\\") + kFileName, Build(platform, "D:\\Payments"));
    EXPECT_EQ((std::vector<std::string>{"D:\\Payments\\*.*", "D:\\Payments\\*.*"}), platform.searches);
    EXPECT_TRUE(platform.messages.empty());
}

TEST(DefaultOutputPath, NameComesFromTheClockAndTheExtension)
{
    CFakeDefaultPathPlatform platform;
    platform.patternsWithEntries = {"D:\\Out\\*.*"};
    platform.now = {2013, 1, 2, 3, 4, 5};

    EXPECT_EQ("D:\\Out\\BOV20130102030405PAIN001.xml", Build(platform, "D:\\Out"));
    EXPECT_EQ("D:\\Out\\BOV20130102030405PAIN001.txt", Build(platform, "D:\\Out", "txt"));
}

TEST(DefaultOutputPath, MissingDirectoryFallsBackToDocumentsAfterAMessage)
{
    CFakeDefaultPathPlatform platform;

    EXPECT_EQ(std::string("C:\\Users\\clerk\\Documents\\") + kFileName, Build(platform, "D:\\Gone"));
    ASSERT_EQ(1u, platform.messages.size());
    EXPECT_EQ(
        "The default payment directory (D:\\Gone) specified does not exist.  Please "
        "correct this within configuration for the specified banking component. The "
        "root directory (C:\\Users\\clerk\\Documents) will be used in the mean time.",
        platform.messages[0]);
}

TEST(DefaultOutputPath, FallbackFolderEndingInSeparatorGetsNoSecondOne)
{
    CFakeDefaultPathPlatform platform;
    platform.fallbackFolder = "C:\\";

    EXPECT_EQ(std::string("C:\\") + kFileName, Build(platform, "D:\\Gone"));
    ASSERT_EQ(1u, platform.messages.size());
    EXPECT_NE(std::string::npos, platform.messages[0].find("The root directory (C:\\) will"));
}

// An empty drive root has no entries at all, not even ".", so only the
// first floppy drive is accepted without a successful search.
TEST(DefaultOutputPath, FloppyRootIsAcceptedWithoutEntriesOtherRootsAreNot)
{
    const char* floppyRoots[] = {"a:", "A:", "a:\\", "A:\\"};
    for (const char* root : floppyRoots) {
        CFakeDefaultPathPlatform platform;
        const std::string separator = std::strlen(root) == 2 ? "\\" : "";
        EXPECT_EQ(root + separator + kFileName, Build(platform, root)) << root;
        EXPECT_TRUE(platform.messages.empty()) << root;
    }

    CFakeDefaultPathPlatform platform;
    EXPECT_EQ(std::string("C:\\Users\\clerk\\Documents\\") + kFileName, Build(platform, "E:\\"));
    EXPECT_EQ((std::vector<std::string>{"E:\\*.*"}), platform.searches);
    EXPECT_EQ(1u, platform.messages.size());
}

TEST(DefaultOutputPath, EmptyOrNullDirectorySearchesTheCurrentDriveRoot)
{
    CFakeDefaultPathPlatform platform;
    platform.patternsWithEntries = {"\\*.*"};

    EXPECT_EQ(std::string("\\") + kFileName, Build(platform, ""));
    EXPECT_EQ(std::string("\\") + kFileName, Build(platform, nullptr));
    EXPECT_TRUE(platform.messages.empty());
}

// The full path must fit in MAX_PATH - 1 characters; a longer directory is
// refused like a missing one, without searching it.
TEST(DefaultOutputPath, DirectoryTooLongForThePathIsTreatedAsMissing)
{
    const std::size_t room = kMaxPathSize - 1 - 1 - std::strlen(kFileName);
    const std::string longest = "D:\\" + std::string(room - 3, 'x');
    const std::string tooLong = longest + "y";

    CFakeDefaultPathPlatform platform;
    platform.patternsWithEntries = {longest + "\\*.*", tooLong + "\\*.*"};

    const std::string fitting = Build(platform, longest.c_str());
    EXPECT_EQ(longest + "\\" + kFileName, fitting);
    EXPECT_EQ(kMaxPathSize - 1, fitting.size());
    EXPECT_TRUE(platform.messages.empty());

    platform.searches.clear();
    EXPECT_EQ(std::string("C:\\Users\\clerk\\Documents\\") + kFileName, Build(platform, tooLong.c_str()));
    EXPECT_TRUE(platform.searches.empty());
    ASSERT_EQ(1u, platform.messages.size());
    EXPECT_NE(std::string::npos, platform.messages[0].find("(" + tooLong + ")"));
}

TEST(DefaultOutputPath, LongMessageIsShownWhole)
{
    CFakeDefaultPathPlatform platform;
    const std::string directory = "D:\\" + std::string(200, 'd');
    platform.fallbackFolder = "C:\\" + std::string(200, 'f');

    Build(platform, directory.c_str());
    ASSERT_EQ(1u, platform.messages.size());
    const std::string& message = platform.messages[0];
    EXPECT_NE(std::string::npos, message.find("(" + directory + ")"));
    EXPECT_NE(std::string::npos, message.find("(" + platform.fallbackFolder + ")"));
    EXPECT_EQ(" will be used in the mean time.",
              message.substr(message.size() - std::strlen(" will be used in the mean time.")));
}

TEST(DefaultOutputPath, DocumentsFolderTooDeepLeavesTheDriveRoot)
{
    CFakeDefaultPathPlatform platform;
    platform.fallbackFolder = "C:\\" + std::string(kMaxPathSize, 'f');

    EXPECT_EQ(std::string("C:\\") + kFileName, Build(platform, "D:\\Gone"));
    ASSERT_EQ(1u, platform.messages.size());
    EXPECT_NE(std::string::npos, platform.messages[0].find("The root directory (C:\\) will"));
}

TEST(DefaultOutputPath, FailsCleanlyWhenThePathDoesNotFitTheBuffer)
{
    CFakeDefaultPathPlatform platform;
    platform.patternsWithEntries = {"D:\\Payments\\*.*"};
    const std::string expected = std::string("D:\\Payments\\") + kFileName;

    char memory[128];
    std::memset(memory, '#', sizeof memory);
    EXPECT_FALSE(BuildDefaultOutputPath(platform, "D:\\Payments", "xml", memory, expected.size()));
    EXPECT_EQ('\0', memory[0]);
    for (std::size_t i = expected.size(); i < sizeof memory; ++i)
        ASSERT_EQ('#', memory[i]) << "byte " << i;

    EXPECT_TRUE(BuildDefaultOutputPath(platform, "D:\\Payments", "xml", memory, expected.size() + 1));
    EXPECT_EQ(expected, memory);

    EXPECT_FALSE(BuildDefaultOutputPath(platform, "D:\\Payments", "xml", nullptr, 1024));
}

TEST(DefaultOutputPath, UnusableClockGivesNoPath)
{
    CFakeDefaultPathPlatform platform;
    platform.patternsWithEntries = {"D:\\Payments\\*.*"};
    platform.now = {2014, 13, 6, 16, 3, 21};

    EXPECT_EQ("(failed: \"\")", Build(platform, "D:\\Payments"));
    EXPECT_TRUE(platform.messages.empty());
}

TEST(JoinPath, AddsOneSeparatorUnlessThereIsOne)
{
    EXPECT_EQ("C:\\a\\b", JoinPath("C:\\a", "b"));
    EXPECT_EQ("C:\\a\\b", JoinPath("C:\\a\\", "b"));
    EXPECT_EQ("\\b", JoinPath("", "b"));
    EXPECT_EQ("C:/a\\b", JoinPath("C:/a", "b"));
}

TEST(FloppyRootPattern, MatchesOnlyTheFirstDriveRootInEitherCase)
{
    EXPECT_TRUE(IsFloppyRootPattern("A:\\*.*"));
    EXPECT_TRUE(IsFloppyRootPattern("a:\\*.*"));
    EXPECT_FALSE(IsFloppyRootPattern("B:\\*.*"));
    EXPECT_FALSE(IsFloppyRootPattern("A:\\x\\*.*"));
    EXPECT_FALSE(IsFloppyRootPattern("A:\\*.*\\"));
    EXPECT_FALSE(IsFloppyRootPattern(""));
}
}
