#include "common/CodePageText.h"

#include <climits>

namespace {

// Code pages that refuse the flag (UTF-8, the ISO 2022 and similar ones) convert without it.
int Narrow(const wchar_t* text, int size, UINT codePage, DWORD flags, char* narrow, int narrowSize)
{
    int written = WideCharToMultiByte(codePage, flags, text, size, narrow, narrowSize, nullptr, nullptr);
    if (!written && flags && GetLastError() == ERROR_INVALID_FLAGS)
        written = WideCharToMultiByte(codePage, 0, text, size, narrow, narrowSize, nullptr, nullptr);
    return written;
}

} // namespace

std::wstring WidenText(std::string_view text, UINT codePage)
{
    if (text.empty() || text.size() > INT_MAX) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, &wide[0], length);
    return wide;
}

std::string NarrowText(const wchar_t* text, size_t length, UINT codePage, Unmappable unmappable)
{
    if (!text || length == 0 || length > INT_MAX) return std::string();
    const int size = static_cast<int>(length);
    const DWORD flags = unmappable == Unmappable::DefaultCharacter ? WC_NO_BEST_FIT_CHARS : 0;
    const int narrowLength = Narrow(text, size, codePage, flags, nullptr, 0);
    if (narrowLength <= 0) return std::string();
    std::string narrow(static_cast<size_t>(narrowLength), '\0');
    if (Narrow(text, size, codePage, flags, &narrow[0], narrowLength) != narrowLength) return std::string();
    return narrow;
}
