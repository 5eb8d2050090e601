#include "sepa/XmlText.h"

namespace {

bool IsHighSurrogate(unsigned long c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(unsigned long c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Characters allowed outside surrogate pairs, by the Char production of XML 1.0.
bool IsSingleXmlCharacter(unsigned long c)
{
    if (c < 0x20) return c == 0x9 || c == 0xA || c == 0xD;
    if (c < 0xD800) return true;
    if (c <= 0xDFFF) return false;
    if (c <= 0xFFFD) return true;
    return c >= 0x10000 && c <= 0x10FFFF; // only where wchar_t holds whole code points
}

// The number of units of the valid character at i, or 0 when it is none.
std::size_t XmlCharacterLength(const wchar_t* text, std::size_t length, std::size_t i)
{
    const unsigned long c = static_cast<unsigned long>(text[i]);
    if (IsHighSurrogate(c)) return i + 1 < length && IsLowSurrogate(static_cast<unsigned long>(text[i + 1])) ? 2 : 0;
    return IsSingleXmlCharacter(c) ? 1 : 0;
}

} // namespace

bool HoldsOnlyXmlCharacters(const wchar_t* text, std::size_t length)
{
    for (std::size_t i = 0; i < length;) {
        const std::size_t n = XmlCharacterLength(text, length, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::wstring WithXmlCharactersOnly(const wchar_t* text, std::size_t length)
{
    std::wstring result;
    result.reserve(length);
    for (std::size_t i = 0; i < length;) {
        const std::size_t n = XmlCharacterLength(text, length, i);
        if (n == 0) {
            result += L'?';
            ++i;
        } else {
            result.append(text + i, n);
            i += n;
        }
    }
    return result;
}
