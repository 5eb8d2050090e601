#pragma once
// Narrowing of IBAN and BIC values read from the host, as the "C" locale converts them: a
// UTF-16 code unit from U+0001 to U+00FF becomes the byte of the same value.

#include <cstddef>

// At most this many characters of a value are kept.
const size_t kIdentifierMaxChars = 255;

// Room for the longest narrowed value and its terminator.
typedef char IdentifierBuffer[kIdentifierMaxChars + 1];

// Writes the narrowed value and a terminator into narrow and returns its length; a null text
// gives the empty value. A code unit that has no byte (above U+00FF, or an embedded NUL)
// becomes '?', so the value fails its check instead of being cut short there, where its head
// might pass.
size_t NarrowIdentifier(const wchar_t* text, size_t length, IdentifierBuffer& narrow);
