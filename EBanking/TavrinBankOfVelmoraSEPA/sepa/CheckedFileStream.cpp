#include "sepa/CheckedFileStream.h"

HRESULT CCheckedFileStream::Read(void*, ULONG, ULONG* read)
{
    if (read) *read = 0;
    return STG_E_ACCESSDENIED;
}

HRESULT CCheckedFileStream::Write(const void* bytes, ULONG count, ULONG* written)
{
    if (written) *written = 0;
    if (FAILED(m_result)) return m_result;
    if (count == 0) return S_OK;
    if (!bytes) return m_result = STG_E_INVALIDPOINTER;
    DWORD done = 0;
    if (!m_operations.Write(m_file, bytes, count, &done)) {
        const DWORD error = GetLastError();
        m_result = error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? STG_E_MEDIUMFULL
                   : error != ERROR_SUCCESS                                    ? HRESULT_FROM_WIN32(error)
                                                                               : STG_E_WRITEFAULT;
    } else if (done != count) {
        // A short write without an error is how a full disk answers on some file systems.
        m_result = STG_E_MEDIUMFULL;
    }
    m_written += done;
    if (written) *written = done;
    if (FAILED(m_result)) return m_result;
    m_root.Feed(static_cast<const unsigned char*>(bytes), count);
    m_elements.Feed(static_cast<const unsigned char*>(bytes), count);
    return S_OK;
}

HRESULT CCheckedFileStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position)
{
    // Asking where the stream stands is answered; going anywhere else is not.
    if (move.QuadPart != 0 || (origin != STREAM_SEEK_CUR && origin != STREAM_SEEK_END)) return STG_E_INVALIDFUNCTION;
    if (position) position->QuadPart = m_written;
    return S_OK;
}

HRESULT CCheckedFileStream::SetSize(ULARGE_INTEGER) { return STG_E_INVALIDFUNCTION; }

HRESULT CCheckedFileStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER* read, ULARGE_INTEGER* written)
{
    if (read) read->QuadPart = 0;
    if (written) written->QuadPart = 0;
    return STG_E_ACCESSDENIED;
}

HRESULT CCheckedFileStream::Commit(DWORD)
{
    // The writer flushes the file itself once the transformation is done.
    return m_result;
}

HRESULT CCheckedFileStream::Revert() { return S_OK; }

HRESULT CCheckedFileStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }

HRESULT CCheckedFileStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }

HRESULT CCheckedFileStream::Stat(STATSTG* statistics, DWORD)
{
    if (!statistics) return STG_E_INVALIDPOINTER;
    *statistics = STATSTG();
    statistics->type = STGTY_STREAM;
    statistics->cbSize.QuadPart = m_written;
    statistics->grfMode = STGM_WRITE;
    return S_OK;
}

HRESULT CCheckedFileStream::Clone(IStream** copy)
{
    if (copy) *copy = nullptr;
    return STG_E_INVALIDFUNCTION;
}
