#pragma once
// File system calls for the payment file tests that fail where a test says, and remember
// which paths the writer created or moved files to.
#include "sepa/FileOperations.h"

#include <functional>
#include <string>
#include <vector>

namespace paymentfile {

enum class PathAfterMove { AsItIs, Missing, Short };

class CFaultyFileOperations : public CFileOperations {
public:
    // Writes go through until this many bytes are written in all; the write that would pass the
    // limit writes what still fits and then fails as a full disk does, or, with shortWrites,
    // reports success with fewer bytes written.
    long long writeLimit = -1;
    bool shortWrites = false;
    bool failFlush = false;
    bool failMove = false;
    // The file as it stands before the move reads one byte short.
    bool shortBeforeMove = false;
    // Another writer's file takes each temporary file's name just before the writer creates it.
    bool collidingCreates = false;
    // Run just before each move (renaming an open file): another writer at work.
    std::function<void()> beforeMove;
    // What a look-up of a path answers once a move is done.
    PathAfterMove pathAfterMove = PathAfterMove::AsItIs;

    std::vector<std::wstring> created;
    std::vector<std::wstring> moved;
    long long bytesOffered = 0;
    // Whether a write, simulated or real, failed or wrote less than it was given.
    bool writeFellShort = false;

    HANDLE CreateNewFile(const std::wstring& path) override;
    bool Write(HANDLE file, const void* bytes, DWORD count, DWORD* written) override;
    bool Flush(HANDLE file) override;
    bool Rename(HANDLE file, const std::wstring& to) override;
    bool FactsOf(const std::wstring& path, FileFacts& facts) override;
    bool FactsOf(HANDLE file, FileFacts& facts) override;

private:
    long long m_written = 0;
};

} // namespace paymentfile
