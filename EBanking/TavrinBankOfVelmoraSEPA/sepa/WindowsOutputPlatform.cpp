#include "sepa/WindowsOutputPlatform.h"

#include "common/MessageBoxes.h"
#include "common/UniqueResource.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

namespace {
// A shell folder path, or "" when the shell does not know it.
std::string ShellFolder(int csidl)
{
    char folder[MAX_PATH] = "";
    if (SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return std::string();
    return folder;
}

std::string LookUpFallbackFolder()
{
    const std::string documents = ShellFolder(CSIDL_PERSONAL);
    return documents.empty() ? std::string("C:\\") : documents;
}
}

CalendarTime CWindowsOutputPlatform::CurrentUtcTime()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    return CalendarTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

bool CWindowsOutputPlatform::SearchFindsEntry(const std::string& pattern)
{
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    UniqueResource<HANDLE, &FindClose> closeOnReturn(search);
    return true;
}

std::string CWindowsOutputPlatform::FallbackFolder()
{
    static const std::string folder = LookUpFallbackFolder();
    return folder;
}

void CWindowsOutputPlatform::ShowInvalidDirectoryMessage(const std::string& text)
{
    MessageBoxA(GetActiveWindow(), text.c_str(), kInvalidDefaultPathBox.caption, kInvalidDefaultPathBox.flags);
}

bool CWindowsOutputPlatform::IsFixedDrive(const std::string& driveRoot)
{
    return GetDriveTypeA(driveRoot.c_str()) == DRIVE_FIXED;
}

bool CWindowsOutputPlatform::IsProcessElevated()
{
    // Only an elevated process may open the local service account's hive
    // with full access.
    UniqueResource<HKEY, &RegCloseKey> key;
    return RegOpenKeyExA(HKEY_USERS, "S-1-5-19", 0, KEY_ALL_ACCESS, key.Receive()) == ERROR_SUCCESS;
}

std::string CWindowsOutputPlatform::LocalAppDataFolder() { return ShellFolder(CSIDL_LOCAL_APPDATA); }

bool CWindowsOutputPlatform::CanOpenExistingFile(const std::string& path)
{
    const HANDLE file = CreateFileA(path.c_str(),
                                    GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr,
                                    OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    UniqueResource<HANDLE, &CloseHandle> closeOnReturn(file);
    return true;
}

bool CWindowsOutputPlatform::AskToOpenFolder(const std::string& text)
{
    return MessageBoxA(nullptr, text.c_str(), kWindowsRedirectBox.caption, kWindowsRedirectBox.flags) == IDYES;
}

void CWindowsOutputPlatform::OpenFolder(const std::string& folder)
{
    ShellExecuteA(nullptr, "open", folder.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
}

bool BuildDefaultOutputPath(const char* directory, const char* extension, char* buffer, std::size_t bufferSize)
{
    CWindowsOutputPlatform platform;
    return BuildDefaultOutputPath(platform, directory, extension, buffer, bufferSize);
}

void CheckForRedirectedFile(const char* path)
{
    CWindowsOutputPlatform platform;
    NotifyIfRedirected(platform, path != nullptr ? path : "");
}
