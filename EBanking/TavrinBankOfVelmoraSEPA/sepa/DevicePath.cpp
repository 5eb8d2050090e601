#include "sepa/DevicePath.h"

#include <cwctype>

namespace {

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, std::char_traits<wchar_t>::length(prefix), prefix) == 0;
}

std::wstring Upper(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

// Windows reads the base name up to its first dot, without the blanks before the dot.
bool IsReservedName(const std::wstring& name)
{
    std::wstring base = Upper(name.substr(0, name.find(L'.')));
    base.erase(base.find_last_not_of(L' ') + 1);
    static const wchar_t* const reserved[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"};
    for (const wchar_t* device : reserved)
        if (base == device) return true;
    if (base.size() == 4 && (StartsWith(base, L"COM") || StartsWith(base, L"LPT"))) {
        const wchar_t number = base[3];
        // The superscript digits one to three count as well.
        return (number >= L'1' && number <= L'9') || number == L'\u00B9' || number == L'\u00B2' || number == L'\u00B3';
    }
    return false;
}

// A path of the \\?\ namespace that leads to a drive or a share; anything else there is an
// object of the system, not a folder.
bool IsLongFilePath(const std::wstring& path)
{
    const std::wstring rest = path.substr(4);
    return (rest.size() >= 3 && std::iswalpha(rest[0]) && rest[1] == L':' && rest[2] == L'\\') ||
           StartsWith(Upper(rest.substr(0, 4)), L"UNC\\");
}

} // namespace

bool NamesDevice(const std::wstring& fullPath)
{
    if (StartsWith(fullPath, L"\\\\.\\") || StartsWith(fullPath, L"//./") || StartsWith(fullPath, L"\\??\\"))
        return true;
    if (StartsWith(fullPath, L"\\\\?\\") && !IsLongFilePath(fullPath)) return true;
    const size_t separator = fullPath.find_last_of(L"\\/");
    const std::wstring name = separator == std::wstring::npos ? fullPath : fullPath.substr(separator + 1);
    // A colon in the name selects a stream of another file (a drive letter stands before the
    // last separator).
    return name.empty() || name.find(L':') != std::wstring::npos || IsReservedName(name);
}
