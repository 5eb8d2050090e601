#pragma once
// Which file a path named at one moment. A file keeps its identity while it stays where it is
// and nothing writes to it; a file put in its place, or written since, has another one.
#include <windows.h>

#include <optional>
#include <string>

struct FileIdentity {
    DWORD volumeSerial = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    // On FAT volumes the index is the place of the file's directory entry, which a new file of
    // the same name may take: the time of the last write tells the two apart.
    FILETIME lastWrite = {};

    bool operator==(const FileIdentity& other) const;
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};

FileIdentity IdentityFrom(const BY_HANDLE_FILE_INFORMATION& information);

// What stands at path (in the ANSI code page), a folder included; nothing when nothing can be
// opened there.
std::optional<FileIdentity> IdentifyFile(const std::string& path);
