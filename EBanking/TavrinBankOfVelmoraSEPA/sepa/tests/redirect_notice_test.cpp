#include "sepa/OutputPath.h"
#include "sepa/RedirectNotice.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {
// A system whose answers the test sets; it logs every question asked so
// that the order and the omissions of the check are visible.
class CFakeRedirectPlatform : public IRedirectPlatform {
public:
    std::set<std::string> fixedDrives = {"C:\\"};
    bool elevated = false;
    std::string localAppData = "C:\\Users\\clerk\\AppData\\Local";
    std::set<std::string> existingFiles;
    bool userSaysYes = false;
    std::vector<std::string> calls;
    std::vector<std::string> messages;
    std::vector<std::string> openedFolders;

    bool IsFixedDrive(const std::string& driveRoot) override
    {
        calls.push_back("IsFixedDrive " + driveRoot);
        return fixedDrives.count(driveRoot) != 0;
    }

    bool IsProcessElevated() override
    {
        calls.push_back("IsProcessElevated");
        return elevated;
    }

    std::string LocalAppDataFolder() override
    {
        calls.push_back("LocalAppDataFolder");
        return localAppData;
    }

    bool CanOpenExistingFile(const std::string& path) override
    {
        calls.push_back("CanOpenExistingFile " + path);
        return existingFiles.count(path) != 0;
    }

    bool AskToOpenFolder(const std::string& text) override
    {
        messages.push_back(text);
        return userSaysYes;
    }

    void OpenFolder(const std::string& folder) override { openedFolders.push_back(folder); }
};

const char kSavedPath[] = "C:\\Program Files\\Payments\\BOV20140306160321PAIN001.xml";
const char kVirtualPath[] =
    "C:\\Users\\clerk\\AppData\\Local\\VirtualStore\\Program "
    "Files\\Payments\\BOV20140306160321PAIN001.xml";

TEST(RedirectNotice, RedirectedFileIsAnnouncedAndYesOpensItsFolder)
{
    CFakeRedirectPlatform platform;
    platform.existingFiles = {kVirtualPath};
    platform.userSaysYes = true;

    NotifyIfRedirected(platform, kSavedPath);

    ASSERT_EQ(1u, platform.messages.size());
    EXPECT_EQ(std::string("Due to Windows Redirect your file was saved to : ") + kVirtualPath +
                  "\n\nWould you like to open the directory?",
              platform.messages[0]);
    EXPECT_EQ((std::vector<std::string>{"C:\\Users\\clerk\\AppData\\Local\\VirtualStore\\Program Files\\Payments"}),
              platform.openedFolders);
}

TEST(RedirectNotice, NoOpensNothing)
{
    CFakeRedirectPlatform platform;
    platform.existingFiles = {kVirtualPath};

    NotifyIfRedirected(platform, kSavedPath);

    EXPECT_EQ(1u, platform.messages.size());
    EXPECT_TRUE(platform.openedFolders.empty());
}

TEST(RedirectNotice, ElevatedProcessIsNeverToldEvenWhenAVirtualCopyExists)
{
    CFakeRedirectPlatform platform;
    platform.existingFiles = {kVirtualPath};
    platform.elevated = true;

    NotifyIfRedirected(platform, kSavedPath);

    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ((std::vector<std::string>{"IsFixedDrive C:\\", "IsProcessElevated"}), platform.calls);
}

TEST(RedirectNotice, FilesOffFixedDisksAreNeverChecked)
{
    const char* paths[] = {
        "E:\\Payments\\BOV20140306160321PAIN001.xml",      // removable or network drive
        "\\\\server\\share\\BOV20140306160321PAIN001.xml", // UNC path
        "Payments\\BOV20140306160321PAIN001.xml",          // relative path
    };
    for (const char* path : paths) {
        CFakeRedirectPlatform platform;
        platform.existingFiles = {VirtualStorePath(platform.localAppData, path)};

        NotifyIfRedirected(platform, path);

        EXPECT_TRUE(platform.messages.empty()) << path;
        ASSERT_EQ(1u, platform.calls.size()) << path;
        EXPECT_EQ("IsFixedDrive " + std::string(path).substr(0, 3), platform.calls[0]);
    }
}

TEST(RedirectNotice, FileWhereTheUserAskedGivesNoNotice)
{
    CFakeRedirectPlatform platform;

    NotifyIfRedirected(platform, kSavedPath);

    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(std::string("CanOpenExistingFile ") + kVirtualPath, platform.calls.back());
}

TEST(RedirectNotice, UnknownLocalAppDataProbesTheStoreOnTheCurrentDrive)
{
    CFakeRedirectPlatform platform;
    platform.localAppData = "";
    const std::string probed = "\\VirtualStore\\Program Files\\Payments\\BOV20140306160321PAIN001.xml";
    platform.existingFiles = {probed};

    NotifyIfRedirected(platform, kSavedPath);

    ASSERT_EQ(1u, platform.messages.size());
    EXPECT_NE(std::string::npos, platform.messages[0].find(": " + probed + "\n\n"));
}

TEST(RedirectNotice, PathsTooShortOrTooLongAreLeftAlone)
{
    CFakeRedirectPlatform platform;
    NotifyIfRedirected(platform, "C:");
    NotifyIfRedirected(platform, "");
    EXPECT_TRUE(platform.calls.empty());

    // A virtual path beyond MAX_PATH could not be opened, so it is not tried.
    const std::string deep = "C:\\" + std::string(kMaxPathSize - 20, 'p') + "\\f.xml";
    NotifyIfRedirected(platform, deep);
    for (const std::string& call : platform.calls)
        EXPECT_EQ(std::string::npos, call.find("CanOpenExistingFile")) << call;
    EXPECT_TRUE(platform.messages.empty());
}

TEST(VirtualStorePath, ReplacesTheDriveRootWithTheStore)
{
    EXPECT_EQ(kVirtualPath, VirtualStorePath("C:\\Users\\clerk\\AppData\\Local", kSavedPath));
    EXPECT_EQ("L\\VirtualStore\\x.xml", VirtualStorePath("L", "D:\\x.xml"));
    EXPECT_EQ("L\\VirtualStore\\", VirtualStorePath("L", "D:\\"));
    EXPECT_EQ("", VirtualStorePath("L", "D:"));
}

TEST(VirtualStorePath, LongestResultStillFitsAMaxPathBuffer)
{
    const std::string folder = "L";
    const std::string prefix = folder + "\\VirtualStore\\";
    const std::string rest(kMaxPathSize - 1 - prefix.size(), 'r');

    EXPECT_EQ(prefix + rest, VirtualStorePath(folder, "C:\\" + rest));
    EXPECT_EQ("", VirtualStorePath(folder, "C:\\" + rest + "r"));
}

TEST(ParentFolder, CutsAtTheLastSeparator)
{
    EXPECT_EQ("C:\\a\\b", ParentFolder("C:\\a\\b\\c.xml"));
    EXPECT_EQ("C:", ParentFolder("C:\\c.xml"));
    EXPECT_EQ("", ParentFolder("c.xml"));
}
}
