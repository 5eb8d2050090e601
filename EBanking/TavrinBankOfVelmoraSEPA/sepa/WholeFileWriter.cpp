#include "sepa/WholeFileWriter.h"

#include "common/CodePageText.h"
#include "common/ComObject.h"
#include "sepa/CheckedFileStream.h"
#include "sepa/DevicePath.h"

#include <comdef.h>

#include <string>
#include <vector>

_COM_SMARTPTR_TYPEDEF(IStream, __uuidof(IStream));

namespace {

// The absolute form of path and its folder, with the separator; false when it has no name.
bool SplitFullPath(const std::wstring& path, std::wstring& full, std::wstring& folder)
{
    if (path.empty()) return false;
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return false;
    std::vector<wchar_t> buffer(needed + 1);
    wchar_t* name = nullptr;
    const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), &name);
    if (length == 0 || length >= buffer.size() || !name || !*name) return false;
    full.assign(buffer.data(), length);
    folder.assign(buffer.data(), static_cast<size_t>(name - buffer.data()));
    return true;
}

// A new file in folder under a name no other writer uses; deleted when it goes, unless it has
// taken the target's place.
class CTemporaryFile {
public:
    CTemporaryFile(const std::wstring& folder, CFileOperations& operations) : m_operations(operations)
    {
        static unsigned counter = 0;
        for (int attempt = 0; attempt < 100 && m_file == INVALID_HANDLE_VALUE; ++attempt) {
            wchar_t name[64];
            swprintf(name,
                     sizeof name / sizeof name[0],
                     L"~sepa-%lx-%lx-%x.tmp",
                     GetCurrentProcessId(),
                     GetTickCount(),
                     ++counter);
            m_path = folder + name;
            m_file = m_operations.CreateNewFile(m_path);
            if (m_file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
                GetLastError() != ERROR_ALREADY_EXISTS)
                break;
        }
    }
    ~CTemporaryFile()
    {
        Close();
        if (!m_moved && !m_path.empty()) m_operations.Delete(m_path);
    }
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;

    HANDLE Handle() const { return m_file; }
    const std::wstring& Path() const { return m_path; }
    bool Close()
    {
        if (m_file == INVALID_HANDLE_VALUE) return true;
        const bool closed = m_operations.Close(m_file);
        m_file = INVALID_HANDLE_VALUE;
        return closed;
    }
    bool MoveTo(const std::wstring& target)
    {
        m_moved = m_operations.Replace(m_path, target);
        return m_moved;
    }

private:
    CFileOperations& m_operations;
    std::wstring m_path;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    bool m_moved = false;
};

} // namespace

bool WriteWholeFile(const char* path, const std::function<HRESULT(IStream*)>& write, CFileOperations& operations)
{
    std::wstring target, folder;
    // File paths are in the process's ANSI code page, as the system's own narrow calls read them.
    if (!path || !SplitFullPath(WidenText(path, CP_ACP), target, folder) || NamesDevice(target)) return false;
    // Only a file is ever replaced: a folder, a device or a pipe at the path is left alone, and
    // nothing is written next to it.
    FileFacts existing;
    if (operations.FactsOf(target, existing) && !existing.regularFile) return false;

    CTemporaryFile temporary(folder, operations);
    if (temporary.Handle() == INVALID_HANDLE_VALUE) return false;
    ComObject<CCheckedFileStream>* stream = new ComObject<CCheckedFileStream>(temporary.Handle(), operations);
    const IStreamPtr held(static_cast<IStream*>(stream));
    const HRESULT written = write(held);
    if (FAILED(written) || FAILED(stream->Result()) || !stream->SawRootElement() ||
        !operations.Flush(temporary.Handle()))
        return false;
    // Before it takes the place of anything, the file on disk must hold every byte written.
    FileFacts made;
    if (!operations.FactsOf(temporary.Handle(), made) || !made.regularFile || made.size != stream->BytesWritten() ||
        !temporary.Close() || !temporary.MoveTo(target))
        return false;

    // What the move put at the path must be a file of exactly the written length. A file there
    // that is not whole is this run's own (the move took the place of what stood there before),
    // and goes; anything else is not the writer's to touch. File identities are not compared:
    // on FAT volumes a file's index changes when it is renamed.
    FileFacts placed;
    if (!operations.FactsOf(target, placed)) return false;
    if (placed.regularFile && placed.size == stream->BytesWritten()) return true;
    if (placed.regularFile) operations.Delete(target);
    return false;
}
