#include "validation/IdentifierText.h"

std::string NarrowIdentifier(const wchar_t* text, size_t length)
{
    std::string narrow;
    if (!text) return narrow;
    if (length > kIdentifierMaxChars) length = kIdentifierMaxChars;
    narrow.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        const unsigned long unit = static_cast<unsigned long>(text[i]);
        narrow += (unit != 0 && unit <= 0xFF) ? static_cast<char>(unit) : '?';
    }
    return narrow;
}

std::wstring WidenIdentifier(const std::string& narrow)
{
    std::wstring wide;
    wide.reserve(narrow.size());
    for (char c : narrow)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return wide;
}
