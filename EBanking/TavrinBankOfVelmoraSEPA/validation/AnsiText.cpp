#include "validation/AnsiText.h"

#include <windows.h>

#include <climits>
#include <vector>

namespace {

// Without best-fit mapping a character that has no place in the code page shows as the
// default character rather than as a look-alike; code pages that refuse the flag convert
// without it.
int Convert(const std::wstring& text, char* narrow, int narrowSize)
{
    const int length = static_cast<int>(text.size());
    int written = WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, narrow,
                                      narrowSize, nullptr, nullptr);
    if (!written && GetLastError() == ERROR_INVALID_FLAGS)
        written = WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), length, narrow, narrowSize, nullptr, nullptr);
    return written;
}

} // namespace

CString NarrowToThreadCodePage(const std::wstring& text)
{
    if (text.empty()) return CString();
    if (text.size() > static_cast<size_t>(INT_MAX)) throw static_cast<HRESULT>(E_OUTOFMEMORY);

    const int size = Convert(text, nullptr, 0);
    if (size <= 0) throw static_cast<HRESULT>(E_UNEXPECTED);
    std::vector<char> narrow(static_cast<size_t>(size) + 1, '\0');
    if (Convert(text, narrow.data(), size) != size) throw static_cast<HRESULT>(E_UNEXPECTED);
    return CString(narrow.data());
}
