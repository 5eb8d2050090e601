#include "sepa/TemporaryFileName.h"

#include <climits>
#include <cwchar>
#include <cwctype>

const wchar_t kTemporaryFilePattern[] = L"~sepa-*.tmp";

namespace {

const wchar_t kPrefix[] = L"~sepa-";
const wchar_t kTemporaryExtension[] = L".tmp";
const wchar_t kSetAsideExtension[] = L".replaced";

ULONGLONG FileTimeValue(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Lower-case hex digits; at least `width` of them, with leading zeros.
std::wstring Hex(ULONGLONG value, int width)
{
    std::wstring digits;
    do {
        digits.insert(digits.begin(), L"0123456789abcdef"[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), L'0');
    return digits;
}

std::wstring FileName(const RunningProcess& process, unsigned number, const wchar_t* extension)
{
    return kPrefix + Hex(process.id, 8) + L"-" + Hex(process.startTime, 16) + L"-" + Hex(number, 1) + extension;
}

std::wstring NextFileName(const RunningProcess& process, const wchar_t* extension)
{
    static unsigned counter = 0;
    return FileName(process, ++counter, extension);
}

// The hex number that fills text up to the next "-" or ".", or to its end.
bool ReadHex(const std::wstring& text, size_t& at, ULONGLONG& value)
{
    const size_t start = at;
    value = 0;
    while (at < text.size() && std::iswxdigit(text[at]) && at - start < 16) {
        const wchar_t digit = text[at++];
        value = value * 16 + (digit <= L'9' ? digit - L'0' : (digit | 0x20) - L'a' + 10);
    }
    return at > start;
}

} // namespace

RunningProcess CurrentProcess()
{
    RunningProcess process;
    process.id = GetCurrentProcessId();
    FILETIME created, exited, kernel, user;
    if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        process.startTime = FileTimeValue(created);
    return process;
}

std::wstring NextTemporaryFileName(const RunningProcess& process) { return NextFileName(process, kTemporaryExtension); }

std::wstring NextSetAsideFileName(const RunningProcess& process) { return NextFileName(process, kSetAsideExtension); }

std::optional<RunningProcess> TemporaryFileMaker(const std::wstring& name)
{
    const size_t prefix = std::wcslen(kPrefix);
    if (name.size() <= prefix || _wcsnicmp(name.c_str(), kPrefix, prefix) != 0) return std::nullopt;
    size_t at = prefix;
    ULONGLONG id = 0, startTime = 0, number = 0;
    if (!ReadHex(name, at, id) || at >= name.size() || name[at++] != L'-' || !ReadHex(name, at, startTime) ||
        at >= name.size() || name[at++] != L'-' || !ReadHex(name, at, number) || id > MAXDWORD || number > UINT_MAX)
        return std::nullopt;
    const RunningProcess maker{static_cast<DWORD>(id), startTime};
    // Only a name this writer makes, exactly: anything else in the folder is not its own.
    if (_wcsicmp(FileName(maker, static_cast<unsigned>(number), kTemporaryExtension).c_str(), name.c_str()) != 0)
        return std::nullopt;
    return maker;
}

bool IsStillRunning(const RunningProcess& process)
{
    const HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, process.id);
    if (!handle) return GetLastError() == ERROR_ACCESS_DENIED;
    FILETIME created, exited, kernel, user;
    bool running = true;
    if (GetProcessTimes(handle, &created, &exited, &kernel, &user))
        running = FileTimeValue(created) == process.startTime && WaitForSingleObject(handle, 0) == WAIT_TIMEOUT;
    CloseHandle(handle);
    return running;
}
