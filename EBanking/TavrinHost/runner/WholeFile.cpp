#include "WholeFile.h"

#include "HostBatch.h"

#include <windows.h>

#include <memory>
#include <stdexcept>
#include <type_traits>

namespace tavrin_host {
namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<std::remove_pointer<HANDLE>::type, HandleCloser>;

FileHandle Open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition)
{
    HANDLE file = CreateFileW(path.c_str(), access, share, nullptr, disposition, 0, nullptr);
    return FileHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

} // namespace

std::string ReadWholeFile(const std::wstring& path, const char* what)
{
    FileHandle file = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (!file) throw std::runtime_error(std::string("cannot open ") + what + " " + Utf8(path));
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    FileHandle file = Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

} // namespace tavrin_host
