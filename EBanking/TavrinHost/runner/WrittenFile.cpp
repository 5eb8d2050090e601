#include "WrittenFile.h"

#include "HostBatch.h"

#include <vector>

namespace tavrin_host {
namespace {

std::string Ansi(const std::wstring& text)
{
    if (text.empty()) return std::string();
    const int n =
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring FromAnsi(const std::string& text)
{
    if (text.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

} // namespace

std::wstring ResolveSavePath(const std::wstring& fieldText)
{
    const std::string ansi = Ansi(fieldText);
    size_t first = 0, last = ansi.size();
    while (first < last && IsBlank(ansi[first]))
        ++first;
    while (last > first && IsBlank(ansi[last - 1]))
        --last;
    const std::wstring stored = FromAnsi(ansi.substr(first, last - first));
    if (stored.empty()) return std::wstring();

    std::vector<wchar_t> full(MAX_PATH);
    DWORD length = GetFullPathNameW(stored.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = GetFullPathNameW(stored.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    return length > 0 && length < full.size() ? std::wstring(full.data(), length) : std::wstring();
}

bool WrittenSince(const std::wstring& path, const FILETIME& start)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    return CompareFileTime(&data.ftLastWriteTime, &start) >= 0;
}

std::string UnixPathOf(const std::wstring& windowsPath)
{
    if (windowsPath.size() >= 3 && (windowsPath[0] == L'Z' || windowsPath[0] == L'z') && windowsPath[1] == L':' &&
        windowsPath[2] == L'\\') {
        std::string unix = Utf8(windowsPath.substr(2));
        for (char& c : unix)
            if (c == '\\') c = '/';
        return unix;
    }
    // Wine's kernel32 exports its path mapping; Windows has none.
    using UnixFileNameFn = char*(CDECL*)(LPCWSTR);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto toUnix = kernel ? reinterpret_cast<UnixFileNameFn>(
                               reinterpret_cast<void (*)()>(GetProcAddress(kernel, "wine_get_unix_file_name")))
                         : nullptr;
    if (!toUnix) return std::string();
    char* unix = toUnix(windowsPath.c_str());
    if (!unix) return std::string();
    std::string out = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return out;
}

} // namespace tavrin_host
