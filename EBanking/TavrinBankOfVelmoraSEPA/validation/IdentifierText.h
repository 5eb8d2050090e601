#pragma once
// Narrowing of IBAN and BIC values read from the host, as the "C" locale converts them: a
// UTF-16 code unit from U+0001 to U+00FF becomes the byte of the same value.

#include <cstddef>
#include <string>

// At most this many characters of a value are kept.
const size_t kIdentifierMaxChars = 255;

// A code unit that has no byte (above U+00FF, or an embedded NUL) becomes '?', so the value
// fails its check instead of being cut short there, where its head might pass.
std::string NarrowIdentifier(const wchar_t* text, size_t length);

// The reverse of NarrowIdentifier: each byte becomes the code unit of the same value, so a
// value written back keeps the characters that were read.
std::wstring WidenIdentifier(const std::string& narrow);
