#pragma once
// The file system calls that writing the payment file makes, in one place so that a test can
// make any of them fail. The base class makes the real calls; a test overrides one of them.
#include "common/FileIdentity.h"

#include <windows.h>

#include <string>

// What stands at a path, read through an open handle.
struct FileFacts {
    bool regularFile = false; // a file on a disk: not a folder, device, pipe or reparse point
    bool readOnly = false;
    ULONGLONG size = 0;
    FileIdentity identity;
};

class CFileOperations {
public:
    virtual ~CFileOperations() = default;

    // A new file for writing that no one else may open meanwhile, and that the handle can
    // rename and delete; fails when the path exists.
    virtual HANDLE CreateNewFile(const std::wstring& path);
    // An existing file, opened so that the handle can rename or delete it and no one else can
    // do either while it is open; others may still read and write it.
    virtual HANDLE OpenToRemove(const std::wstring& path);
    virtual bool Write(HANDLE file, const void* bytes, DWORD count, DWORD* written);
    virtual bool Flush(HANDLE file);
    virtual bool Close(HANDLE file);
    // Gives the open file the path to, in any folder of its volume; never replaces what stands
    // there.
    virtual bool Rename(HANDLE file, const std::wstring& to);
    // Deletes the open file once its handle is closed.
    virtual bool Remove(HANDLE file);
    // False when nothing can be opened at path.
    virtual bool FactsOf(const std::wstring& path, FileFacts& facts);
    virtual bool FactsOf(HANDLE file, FileFacts& facts);
};

// The real calls.
CFileOperations& SystemFileOperations();
