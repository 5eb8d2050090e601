#include "sepa/WholeFileWriter.h"

#include "common/CodePageText.h"
#include "common/ComObject.h"
#include "sepa/CheckedFileStream.h"
#include "sepa/DevicePath.h"
#include "sepa/StaleTemporaryFiles.h"
#include "sepa/TemporaryFileName.h"

#include <comdef.h>

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

// A new file in folder under a name that only this run uses. Deleted through its own handle
// when it goes, unless it has taken the target's place; should even that fail, a later run
// removes it by its name once this process has ended.
class CTemporaryFile {
public:
    CTemporaryFile(const std::wstring& folder, CFileOperations& operations) : m_operations(operations)
    {
        const RunningProcess self = CurrentProcess();
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_file = m_operations.CreateNewFile(folder + NextTemporaryFileName(self));
            if (m_file != INVALID_HANDLE_VALUE) return;
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return;
        }
    }
    ~CTemporaryFile()
    {
        if (m_file == INVALID_HANDLE_VALUE) return;
        if (!m_placed) m_operations.Remove(m_file);
        m_operations.Close(m_file);
    }
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;

    HANDLE Handle() const { return m_file; }
    bool MoveTo(const std::wstring& target)
    {
        m_placed = m_operations.Rename(m_file, target);
        return m_placed;
    }

private:
    CFileOperations& m_operations;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    bool m_placed = false;
};

// The file that the new one replaces, held open from before the writing until the new file
// stands in its place, so that no one renames it away or puts another file in its place
// meanwhile. It steps aside under a name of this run's own, and goes only once the new file has
// taken its place.
class CReplacedFile {
public:
    explicit CReplacedFile(CFileOperations& operations) : m_operations(operations) {}
    ~CReplacedFile()
    {
        if (m_file != INVALID_HANDLE_VALUE) m_operations.Close(m_file);
    }
    CReplacedFile(const CReplacedFile&) = delete;
    CReplacedFile& operator=(const CReplacedFile&) = delete;

    // False unless the file at path is the allowed one and may be replaced. Windows does not
    // replace a read-only file, and would not delete it once set aside.
    bool Open(const std::wstring& path, const FileIdentity& allowed)
    {
        m_file = m_operations.OpenToRemove(path);
        FileFacts facts;
        return m_file != INVALID_HANDLE_VALUE && m_operations.FactsOf(m_file, facts) && facts.regularFile &&
               !facts.readOnly && facts.identity == allowed;
    }
    bool IsOpen() const { return m_file != INVALID_HANDLE_VALUE; }
    bool SetAside(const std::wstring& folder)
    {
        return m_operations.Rename(m_file, folder + NextSetAsideFileName(CurrentProcess()));
    }
    // When another file took the path meanwhile, this one keeps its set-aside name: it is not
    // lost, and the other file is not touched.
    void PutBack(const std::wstring& path) { m_operations.Rename(m_file, path); }
    void Remove() { m_operations.Remove(m_file); }

private:
    CFileOperations& m_operations;
    HANDLE m_file = INVALID_HANDLE_VALUE;
};

} // namespace

bool WriteWholeFile(const char* path, const std::function<HRESULT(IStream*)>& write, const WholeFileRules& rules,
                    CFileOperations& operations)
{
    std::wstring target, folder;
    // File paths are in the process's ANSI code page, as the system's own narrow calls read them.
    if (!path || !SplitFullPath(WidenText(path, CP_ACP), target, folder) || NamesDevice(target)) return false;
    // Only a file is ever replaced, and only the one allowed: a folder, a device, a pipe or
    // another file at the path is left alone, and nothing is written next to it.
    FileFacts existing;
    CReplacedFile replaced(operations);
    if (operations.FactsOf(target, existing) &&
        (!existing.regularFile || !rules.replaces || !replaced.Open(target, *rules.replaces)))
        return false;

    RemoveStaleTemporaryFiles(folder, operations);
    CTemporaryFile temporary(folder, operations);
    if (temporary.Handle() == INVALID_HANDLE_VALUE) return false;
    ComObject<CCheckedFileStream>* stream =
        new ComObject<CCheckedFileStream>(temporary.Handle(), operations, rules.countedElement);
    const IStreamPtr held(static_cast<IStream*>(stream));
    const HRESULT written = write(held);
    if (FAILED(written) || FAILED(stream->Result()) || !stream->SawRootElement() ||
        stream->ElementCount() != rules.expectedCount || !operations.Flush(temporary.Handle()))
        return false;
    // Before it takes the place of anything, the file on disk must hold every byte written.
    FileFacts made;
    if (!operations.FactsOf(temporary.Handle(), made) || !made.regularFile || made.size != stream->BytesWritten())
        return false;

    // The path must be free for the move, which never replaces: a file that took it since the
    // check stays, and this run writes nothing.
    if (replaced.IsOpen() && !replaced.SetAside(folder)) return false;
    if (!temporary.MoveTo(target)) {
        if (replaced.IsOpen()) replaced.PutBack(target);
        return false;
    }
    if (replaced.IsOpen()) replaced.Remove();
    // The whole file stands at the path now, and the run says so whatever comes after: the flush
    // only puts its new name on disk sooner, and what stands at the path from now on may
    // already be another writer's.
    operations.Flush(temporary.Handle());
    return true;
}
