#include "WholeFile.h"

#include "FileHandle.h"
#include "HostBatch.h"

#include <windows.h>

#include <algorithm>
#include <new>
#include <stdexcept>

namespace tavrin_host {
namespace {

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteAll(HANDLE file, std::string_view bytes)
{
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

} // namespace

std::string ReadWholeFile(const std::wstring& path, const char* what)
{
    const std::string named = std::string(what) + " " + Utf8(path);
    FileHandle file = OpenFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (!file && IsFolder(path)) throw std::runtime_error(named + " is a folder, not a regular file");
    if (!file) throw std::runtime_error("cannot open " + named);
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        throw std::runtime_error(named + " is not a regular file");
    // Read into one string of the file's size, then on to the end, should the file have grown.
    const ULONGLONG size = (static_cast<ULONGLONG>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    std::string bytes(static_cast<size_t>(size), '\0');
    size_t filled = 0;
    auto read = [&](char* into, size_t wanted) {
        DWORD got = 0;
        if (!ReadFile(file.get(), into, static_cast<DWORD>(std::min<size_t>(wanted, 1u << 30)), &got, nullptr))
            throw std::runtime_error("cannot read " + named);
        return static_cast<size_t>(got);
    };
    while (filled < bytes.size()) {
        const size_t got = read(&bytes[filled], bytes.size() - filled);
        if (got == 0) break;
        filled += got;
    }
    bytes.resize(filled);
    char buffer[65536];
    while (const size_t got = read(buffer, sizeof buffer))
        bytes.append(buffer, got);
    return bytes;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    FileHandle file = OpenFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    return file && WriteAll(file.get(), bytes);
}

bool ReplaceWholeFile(const std::wstring& path, const std::function<bool(const ByteSink& sink)>& write)
{
    // Beside the file, so that the rename stays on its volume, and named after this process, so
    // that no other live writer uses the name; a run ended from outside may leave it behind.
    const std::wstring temporary = path + L".~" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    bool written = false;
    try {
        FileHandle file = OpenFile(temporary, GENERIC_WRITE, 0, CREATE_ALWAYS);
        const ByteSink sink = [&file](std::string_view bytes) { return WriteAll(file.get(), bytes); };
        written = file && write(sink) && FlushFileBuffers(file.get()) && CloseHandle(file.release());
    } catch (const std::bad_alloc&) {
        // The text could not be made: no file, as with one that could not be written.
    }
    if (written && MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}

} // namespace tavrin_host
