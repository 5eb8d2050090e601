#include "sepa/FileOperations.h"

#include <cstddef>
#include <vector>

HANDLE CFileOperations::CreateNewFile(const std::wstring& path)
{
    return CreateFileW(path.c_str(),
                       GENERIC_WRITE | FILE_READ_ATTRIBUTES | DELETE,
                       0,
                       nullptr,
                       CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

HANDLE CFileOperations::OpenToRemove(const std::wstring& path)
{
    // Without FILE_SHARE_DELETE: while the handle is open, no one renames the file away or puts
    // another in its place.
    return CreateFileW(path.c_str(),
                       FILE_READ_ATTRIBUTES | DELETE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr,
                       OPEN_EXISTING,
                       FILE_FLAG_OPEN_REPARSE_POINT,
                       nullptr);
}

bool CFileOperations::Write(HANDLE file, const void* bytes, DWORD count, DWORD* written)
{
    return WriteFile(file, bytes, count, written, nullptr) != FALSE;
}

bool CFileOperations::Flush(HANDLE file) { return FlushFileBuffers(file) != FALSE; }

bool CFileOperations::Close(HANDLE file) { return CloseHandle(file) != FALSE; }

bool CFileOperations::Rename(HANDLE file, const std::wstring& to)
{
    // FILE_RENAME_INFO ends in the name; the name's terminator is allowed for in the size.
    const size_t size = offsetof(FILE_RENAME_INFO, FileName) + (to.size() + 1) * sizeof(wchar_t);
    std::vector<unsigned char> buffer(size);
    FILE_RENAME_INFO* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(to.size() * sizeof(wchar_t));
    to.copy(rename->FileName, to.size());
    return SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(size)) != FALSE;
}

bool CFileOperations::Remove(HANDLE file)
{
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

bool CFileOperations::FactsOf(const std::wstring& path, FileFacts& facts)
{
    // No access beyond the attributes, shared with everyone: a folder or a device opens too,
    // and is then told apart from a file.
    const HANDLE file = CreateFileW(path.c_str(),
                                    FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr,
                                    OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                    nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool known = FactsOf(file, facts);
    CloseHandle(file);
    return known;
}

bool CFileOperations::FactsOf(HANDLE file, FileFacts& facts)
{
    facts = FileFacts();
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &information)) return true;
    const DWORD notAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT;
    facts.regularFile = (information.dwFileAttributes & notAFile) == 0;
    facts.readOnly = (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    facts.size = (static_cast<ULONGLONG>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    facts.identity = IdentityFrom(information);
    return true;
}

CFileOperations& SystemFileOperations()
{
    static CFileOperations system;
    return system;
}
