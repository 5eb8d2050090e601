#pragma once

#include <cstddef>
#include <string>

// Where file-system virtualisation puts a file that a process without
// elevation writes into a protected folder: the local application data
// folder + "\VirtualStore\" + the path without its drive root (its first
// three characters). Returns an empty string when the path is shorter than
// a drive root or the result would not fit in a MAX_PATH buffer.
std::string VirtualStorePath(const std::string& localAppDataFolder, const std::string& path);

// The path up to, not including, its last "\"; empty when it has none.
std::string ParentFolder(const std::string& path);

// Text of the question shown when a file was redirected.
std::string FormatRedirectMessage(const std::string& virtualPath);

// What the redirect check needs from the system.
class IRedirectPlatform {
public:
    virtual ~IRedirectPlatform() = default;

    // True when the drive with this root (such as "C:\") is a fixed disk.
    virtual bool IsFixedDrive(const std::string& driveRoot) = 0;

    // True when the process runs elevated; such a process is never redirected.
    virtual bool IsProcessElevated() = 0;

    // The current user's local application data folder, or "" when unknown.
    virtual std::string LocalAppDataFolder() = 0;

    // True when an existing file at path can be opened for reading and writing.
    virtual bool CanOpenExistingFile(const std::string& path) = 0;

    // Shows the redirect message; true when the user asks to open the folder.
    virtual bool AskToOpenFolder(const std::string& text) = 0;

    // Opens a folder for the user.
    virtual void OpenFolder(const std::string& folder) = 0;
};

// After a file was written at path: when Windows redirected it into the
// virtual store, tells the user where it went and opens that folder on
// request. A file on a drive other than a fixed disk, or written by an
// elevated process, is never redirected.
void NotifyIfRedirected(IRedirectPlatform& platform, const std::string& path);
