#pragma once
// A file handle that closes itself, and the one way the runner opens files.
#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

namespace tavrin_host {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<std::remove_pointer<HANDLE>::type, HandleCloser>;

// Empty when the file cannot be opened.
inline FileHandle OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags = 0)
{
    HANDLE file = CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
    return FileHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

} // namespace tavrin_host
