#pragma once

// Syntactic checks of account identifiers and cleaning of free text. Each
// works on the string in place: the caller writes the changed value back to
// the payment whether the check passed or not.
//
// Character classes are ASCII only: letters A-Z and a-z, digits 0-9. Bytes
// of 0x80 and above are neither, whatever the code page.

#include <cstddef>

#include "common/CString.h"

// Drops spaces (0x20 only) and/or upper-cases ASCII letters.
void NormaliseIdentifier(CString& value, bool removeSpaces, bool toUpper);

// Removes spaces; a value of 5 to 34 characters gets its first two
// characters upper-cased (the rest keeps its case). Passes when it reads
// two letters, two digits, then letters and digits only. No check digits.
bool IsValidIban(CString& iban);

// Removes spaces and upper-cases. Passes for 8 or 11 characters: six
// letters, a letter or a digit 2-9, a letter other than O or a digit, and
// an optional alphanumeric branch code.
bool IsValidBic(CString& bic);

// Cuts the text to maxChars characters (0: no limit), then trims every
// leading and trailing character that is not an ASCII letter or digit.
// True when something is left.
bool CleanText(CString& text, size_t maxChars);
