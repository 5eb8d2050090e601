#include "SameFile.h"

#include "FileHandle.h"

#include <vector>

namespace tavrin_host {
namespace {

std::wstring FullPath(const std::wstring& path)
{
    std::vector<wchar_t> full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr) + 1);
    const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    return length > 0 && length < full.size() ? std::wstring(full.data(), length) : path;
}

// The volume and index that identify an existing file; false when it cannot be opened.
bool Identity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& information)
{
    // Opened for no access: a file that others hold open is still looked at.
    const FileHandle file = OpenFile(
        path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
    return file && GetFileInformationByHandle(file.get(), &information);
}

} // namespace

bool SameFile(const std::wstring& first, const std::wstring& second)
{
    const std::wstring a = FullPath(first), b = FullPath(second);
    if (CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
        CSTR_EQUAL)
        return true;
    BY_HANDLE_FILE_INFORMATION x, y;
    return Identity(a, x) && Identity(b, y) && x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
           x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

} // namespace tavrin_host
