#include "common/CodePageText.h"

#include <climits>

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

std::string NarrowText(const wchar_t* text, size_t length, UINT codePage)
{
    if (!text || length == 0 || length > INT_MAX) return std::string();
    const int size = static_cast<int>(length);
    const int narrowLength = WideCharToMultiByte(codePage, 0, text, size, nullptr, 0, nullptr, nullptr);
    if (narrowLength <= 0) return std::string();
    std::string narrow(static_cast<size_t>(narrowLength), '\0');
    WideCharToMultiByte(codePage, 0, text, size, &narrow[0], narrowLength, nullptr, nullptr);
    return narrow;
}
