#pragma once
// The file system calls that writing the payment file makes, in one place so that a test can
// make any of them fail. The base class makes the real calls; a test overrides one of them.
#include <windows.h>

#include <string>

// What stands at a path, read through an open handle.
struct FileFacts {
    bool regularFile = false; // a file on a disk: not a folder, device, pipe or reparse point
    ULONGLONG size = 0;
};

class CFileOperations {
public:
    virtual ~CFileOperations() = default;

    // A new file for writing that no one else may open meanwhile; fails when the path exists.
    virtual HANDLE CreateNewFile(const std::wstring& path);
    virtual bool Write(HANDLE file, const void* bytes, DWORD count, DWORD* written);
    virtual bool Flush(HANDLE file);
    virtual bool Close(HANDLE file);
    // Puts from in the place of to, replacing a file there, and returns once it is on disk.
    virtual bool Replace(const std::wstring& from, const std::wstring& to);
    virtual bool Delete(const std::wstring& path);
    // False when nothing can be opened at path.
    virtual bool FactsOf(const std::wstring& path, FileFacts& facts);
    virtual bool FactsOf(HANDLE file, FileFacts& facts);
};

// The real calls.
CFileOperations& SystemFileOperations();
