#include "validation/IdentifierText.h"

size_t NarrowIdentifier(const wchar_t* text, size_t length, IdentifierBuffer& narrow)
{
    if (!text) length = 0;
    if (length > kIdentifierMaxChars) length = kIdentifierMaxChars;
    for (size_t i = 0; i < length; ++i) {
        const unsigned long unit = static_cast<unsigned long>(text[i]);
        narrow[i] = (unit != 0 && unit <= 0xFF) ? static_cast<char>(unit) : '?';
    }
    narrow[length] = '\0';
    return length;
}
