#include "sepa/FileOperations.h"

HANDLE CFileOperations::CreateNewFile(const std::wstring& path)
{
    return CreateFileW(
        path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool CFileOperations::Write(HANDLE file, const void* bytes, DWORD count, DWORD* written)
{
    return WriteFile(file, bytes, count, written, nullptr) != FALSE;
}

bool CFileOperations::Flush(HANDLE file) { return FlushFileBuffers(file) != FALSE; }

bool CFileOperations::Close(HANDLE file) { return CloseHandle(file) != FALSE; }

bool CFileOperations::Replace(const std::wstring& from, const std::wstring& to)
{
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool CFileOperations::Delete(const std::wstring& path) { return DeleteFileW(path.c_str()) != FALSE; }

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
    facts.size = (static_cast<ULONGLONG>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    return true;
}

CFileOperations& SystemFileOperations()
{
    static CFileOperations system;
    return system;
}
