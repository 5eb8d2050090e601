#include "FaultyFileOperations.h"

namespace paymentfile {

HANDLE CFaultyFileOperations::CreateNewFile(const std::wstring& path)
{
    created.push_back(path);
    if (collidingCreates) CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    return CFileOperations::CreateNewFile(path);
}

bool CFaultyFileOperations::Write(HANDLE file, const void* bytes, DWORD count, DWORD* written)
{
    bytesOffered += count;
    if (writeLimit < 0 || m_written + count <= writeLimit) {
        const bool done = CFileOperations::Write(file, bytes, count, written);
        if (!done || *written < count) writeFellShort = true;
        m_written += *written;
        return done;
    }
    const DWORD fits = static_cast<DWORD>(writeLimit > m_written ? writeLimit - m_written : 0);
    DWORD done = 0;
    if (fits > 0) CFileOperations::Write(file, bytes, fits, &done);
    m_written += done;
    *written = done;
    writeFellShort = true;
    if (shortWrites) return true;
    SetLastError(ERROR_DISK_FULL);
    return false;
}

bool CFaultyFileOperations::Flush(HANDLE file)
{
    if (failFlush) {
        SetLastError(ERROR_IO_DEVICE);
        return false;
    }
    return CFileOperations::Flush(file);
}

bool CFaultyFileOperations::Rename(HANDLE file, const std::wstring& to)
{
    moved.push_back(to);
    if (beforeMove) beforeMove();
    if (failMove) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return CFileOperations::Rename(file, to);
}

bool CFaultyFileOperations::FactsOf(const std::wstring& path, FileFacts& facts)
{
    if (!moved.empty() && pathAfterMove == PathAfterMove::Missing) return false;
    const bool known = CFileOperations::FactsOf(path, facts);
    if (known && !moved.empty() && pathAfterMove == PathAfterMove::Short && facts.size > 0) --facts.size;
    return known;
}

bool CFaultyFileOperations::FactsOf(HANDLE file, FileFacts& facts)
{
    const bool known = CFileOperations::FactsOf(file, facts);
    if (known && shortBeforeMove && facts.size > 0) --facts.size;
    return known;
}

} // namespace paymentfile
