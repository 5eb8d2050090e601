#include "common/FileIdentity.h"

#include "common/CodePageText.h"

bool FileIdentity::operator==(const FileIdentity& other) const
{
    return volumeSerial == other.volumeSerial && indexHigh == other.indexHigh && indexLow == other.indexLow &&
           CompareFileTime(&lastWrite, &other.lastWrite) == 0;
}

FileIdentity IdentityFrom(const BY_HANDLE_FILE_INFORMATION& information)
{
    FileIdentity identity;
    identity.volumeSerial = information.dwVolumeSerialNumber;
    identity.indexHigh = information.nFileIndexHigh;
    identity.indexLow = information.nFileIndexLow;
    identity.lastWrite = information.ftLastWriteTime;
    return identity;
}

std::optional<FileIdentity> IdentifyFile(const std::string& path)
{
    // Only the attributes, shared with everyone, so that looking disturbs no one.
    const HANDLE file = CreateFileW(WidenText(path, CP_ACP).c_str(),
                                    FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr,
                                    OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                    nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information;
    const bool known = GetFileInformationByHandle(file, &information) != FALSE;
    CloseHandle(file);
    if (!known) return std::nullopt;
    return IdentityFrom(information);
}
