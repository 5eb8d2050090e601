#include "common/CodePageText.h"

#include <algorithm>
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

// Without look-alikes; `usedDefault` tells whether a character had no place. Code pages that
// refuse the flag or the report (UTF-8 among them) convert without them: the round trip that
// NarrowExactly makes still finds what did not survive.
int NarrowWithoutBestFit(const wchar_t* text, int size, UINT codePage, char* narrow, int narrowSize, BOOL& usedDefault)
{
    usedDefault = FALSE;
    int written =
        WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text, size, narrow, narrowSize, nullptr, &usedDefault);
    if (!written && (GetLastError() == ERROR_INVALID_FLAGS || GetLastError() == ERROR_INVALID_PARAMETER))
        written = WideCharToMultiByte(codePage, 0, text, size, narrow, narrowSize, nullptr, nullptr);
    return written;
}

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

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
    std::string narrow;
    NarrowTextInto(text, length, codePage, unmappable, narrow);
    return narrow;
}

void NarrowTextInto(const wchar_t* text, size_t length, UINT codePage, Unmappable unmappable, std::string& narrow)
{
    narrow.clear();
    if (!text || length == 0 || length > INT_MAX) return;
    const int size = static_cast<int>(length);
    const DWORD flags = unmappable == Unmappable::DefaultCharacter ? WC_NO_BEST_FIT_CHARS : 0;
    const int narrowLength = Narrow(text, size, codePage, flags, nullptr, 0);
    if (narrowLength <= 0) return;
    narrow.resize(static_cast<size_t>(narrowLength));
    if (Narrow(text, size, codePage, flags, &narrow[0], narrowLength) != narrowLength) narrow.clear();
}

BSTR NewBstrFromCodePage(std::string_view text, UINT codePage)
{
    if (text.size() > INT_MAX) throw static_cast<HRESULT>(E_OUTOFMEMORY);
    const int size = static_cast<int>(text.size());
    const int length = size ? MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0) : 0;
    if (size && length <= 0) throw static_cast<HRESULT>(E_UNEXPECTED);
    BSTR wide = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (!wide) throw static_cast<HRESULT>(E_OUTOFMEMORY);
    if (size && MultiByteToWideChar(codePage, 0, text.data(), size, wide, length) != length) {
        SysFreeString(wide);
        throw static_cast<HRESULT>(E_UNEXPECTED);
    }
    return wide;
}

bool NarrowExactly(std::wstring_view text, UINT codePage, std::string& narrow)
{
    narrow.clear();
    if (text.empty()) return true;
    if (text.size() > INT_MAX) return false;
    const int size = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int narrowLength = NarrowWithoutBestFit(text.data(), size, codePage, nullptr, 0, usedDefault);
    if (narrowLength <= 0 || usedDefault) return false;
    std::string converted(static_cast<size_t>(narrowLength), '\0');
    if (NarrowWithoutBestFit(text.data(), size, codePage, &converted[0], narrowLength, usedDefault) != narrowLength ||
        usedDefault || WidenText(converted, codePage) != text)
        return false;
    narrow.swap(converted);
    return true;
}

std::vector<std::wstring> CharactersOutside(std::wstring_view text, UINT codePage)
{
    std::vector<std::wstring> outside;
    std::string ignored;
    for (size_t start = 0; start < text.size();) {
        size_t length = 1;
        if (IsHighSurrogate(text[start]) && start + 1 < text.size() && IsLowSurrogate(text[start + 1])) length = 2;
        const std::wstring character(text.substr(start, length));
        start += length;
        if (NarrowExactly(character, codePage, ignored)) continue;
        if (std::find(outside.begin(), outside.end(), character) == outside.end()) outside.push_back(character);
    }
    return outside;
}
