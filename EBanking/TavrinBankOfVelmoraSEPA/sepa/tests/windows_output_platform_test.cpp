// The output path and the redirect check with the real clock, folders, message boxes and
// registry, as the payment run uses them.
#include "sepa/WindowsOutputPlatform.h"

#include "MessageBoxWatcher.h"
#include "PaymentFileTestSupport.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstdio>
#include <string>

using namespace paymentfile;
using tavrin_host::MessageBoxRecord;
using tavrin_host::MessageBoxWatcher;

namespace {

std::string ShellFolder(int csidl)
{
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

std::string UtcStamp()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    char stamp[32];
    std::snprintf(stamp,
                  sizeof stamp,
                  "%04u%02u%02u%02u%02u%02u",
                  now.wYear,
                  now.wMonth,
                  now.wDay,
                  now.wHour,
                  now.wMinute,
                  now.wSecond);
    return stamp;
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string Build(const std::string& directory)
{
    char path[1024];
    EXPECT_TRUE(BuildDefaultOutputPath(directory.c_str(), "xml", path, sizeof path));
    return path;
}

TEST(WindowsOutputPlatform, TheNameCarriesTheUtcTimeOfTheRunInTheHostsDirectory)
{
    TemporaryFolder folder;
    MessageBoxWatcher boxes;
    const std::string before = UtcStamp();
    const std::string path = Build(folder.Path());
    const std::string after = UtcStamp();

    const std::string prefix = folder.Path() + "\\BOV";
    ASSERT_EQ(prefix.size() + 14 + std::string("PAIN001.xml").size(), path.size()) << path;
    EXPECT_EQ(prefix, path.substr(0, prefix.size()));
    EXPECT_EQ("PAIN001.xml", path.substr(path.size() - 11));
    const std::string stamp = path.substr(prefix.size(), 14);
    EXPECT_LE(before, stamp);
    EXPECT_GE(after, stamp);
    EXPECT_EQ(path, Build(folder.Path() + "\\").substr(0, prefix.size()) + path.substr(prefix.size()))
        << "a trailing separator is not doubled";
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(WindowsOutputPlatform, AMissingDirectoryIsNamedAndTheDocumentsFolderTakesItsPlace)
{
    const std::string documents = ShellFolder(CSIDL_PERSONAL);
    ASSERT_FALSE(documents.empty());
    TemporaryFolder folder;
    const std::string missing = folder.File("gone");
    MessageBoxWatcher boxes;

    const std::string path = Build(missing);

    EXPECT_EQ(documents + "\\BOV", path.substr(0, documents.size() + 4));
    ASSERT_EQ(1u, boxes.Boxes().size());
    const MessageBoxRecord& box = boxes.Boxes()[0];
    EXPECT_EQ(L"Invalid default path", box.caption);
    EXPECT_EQ(L"The default payment directory (" + Wide(missing) +
                  L") specified does not exist.  Please correct this within configuration for the specified "
                  L"banking component. The root directory (" +
                  Wide(documents) + L") will be used in the mean time.",
              box.text);
}

// A file that a process without elevation wrote into a protected folder lands in the user's
// virtual store; a copy there stands for such a redirected file.
TEST(WindowsOutputPlatform, AFileInTheVirtualStoreIsAnnouncedWithoutOpeningItsFolderOnNo)
{
    const std::string localAppData = ShellFolder(CSIDL_LOCAL_APPDATA);
    ASSERT_FALSE(localAppData.empty());
    HKEY key = nullptr;
    ASSERT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_USERS, "S-1-5-19", 0, KEY_ALL_ACCESS, &key))
        << "the test needs a process without elevation";

    const std::string relative = "SepaRedirectTest" + std::to_string(GetCurrentProcessId());
    const std::string storeFolder = localAppData + "\\VirtualStore\\" + relative;
    const std::string virtualFile = storeFolder + "\\BOV20140306160321PAIN001.xml";
    CreateDirectoryA((localAppData + "\\VirtualStore").c_str(), nullptr);
    CreateDirectoryA(storeFolder.c_str(), nullptr);
    const std::string savedPath = "C:\\" + relative + "\\BOV20140306160321PAIN001.xml";

    {
        MessageBoxWatcher boxes([](const MessageBoxRecord&, HWND) { return IDNO; });
        CheckForRedirectedFile(savedPath.c_str());
        EXPECT_TRUE(boxes.Boxes().empty()) << "no copy in the virtual store, no notice";
    }

    const HANDLE file = CreateFileA(virtualFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    {
        MessageBoxWatcher boxes([](const MessageBoxRecord&, HWND) { return IDNO; });
        CheckForRedirectedFile(savedPath.c_str());
        ASSERT_EQ(1u, boxes.Boxes().size());
        EXPECT_EQ(L"Windows Redirect", boxes.Boxes()[0].caption);
        EXPECT_EQ(L"Due to Windows Redirect your file was saved to : " + Wide(virtualFile) +
                      L"\n\nWould you like to open the directory?",
                  boxes.Boxes()[0].text);
        EXPECT_EQ(L"No", boxes.Boxes()[0].answer);
    }
    // The probe closed the file again: it can be deleted at once.
    EXPECT_TRUE(DeleteFileA(virtualFile.c_str()));
    RemoveDirectoryA(storeFolder.c_str());
}

} // namespace
