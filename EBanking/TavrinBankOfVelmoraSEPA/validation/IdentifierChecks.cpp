#include "validation/IdentifierChecks.h"

#include "common/AsciiChars.h"

#include <string>

using ascii::IsAlphanumeric;
using ascii::IsDigit;
using ascii::IsLetter;
using ascii::ToUpper;

namespace {

// Longer than any identifier the validation narrows, so that checking a payment's values
// takes no memory from the heap; longer text goes through a heap buffer.
const size_t kStackBufferSize = 256;

} // namespace

void NormaliseIdentifier(CString& value, bool removeSpaces, bool toUpper)
{
    const char* text = value.GetString();
    const size_t length = value.GetLength();
    char onStack[kStackBufferSize];
    std::string onHeap;
    char* result = onStack;
    if (length > sizeof onStack) {
        onHeap.resize(length);
        result = &onHeap[0];
    }
    size_t kept = 0;
    for (size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (removeSpaces && c == ' ') continue;
        result[kept++] = toUpper ? ToUpper(c) : c;
    }
    value.Assign(result, kept);
}

bool IsValidIban(CString& iban)
{
    NormaliseIdentifier(iban, true, false);
    const size_t length = iban.GetLength();
    if (length < 5 || length > 34) return false;

    // Only the country code is upper-cased; the caller keeps the rest as given.
    const char* text = iban.GetString();
    if (ToUpper(text[0]) != text[0] || ToUpper(text[1]) != text[1]) {
        char upper[35];
        upper[0] = ToUpper(text[0]);
        upper[1] = ToUpper(text[1]);
        for (size_t i = 2; i < length; ++i)
            upper[i] = text[i];
        iban.Assign(upper, length);
        text = iban.GetString();
    }

    if (!IsLetter(text[0]) || !IsLetter(text[1]) || !IsDigit(text[2]) || !IsDigit(text[3])) return false;
    for (size_t i = 4; i < length; ++i) {
        if (!IsAlphanumeric(text[i])) return false;
    }
    return true;
}

bool IsValidBic(CString& bic)
{
    NormaliseIdentifier(bic, true, true);
    const char* text = bic.GetString();
    const size_t length = bic.GetLength();
    if (length != 8 && length != 11) return false;

    for (size_t i = 0; i < 6; ++i) {
        if (!IsLetter(text[i])) return false;
    }
    // The location code never starts with 0 or 1 and never has O second.
    if (!IsLetter(text[6]) && !(text[6] >= '2' && text[6] <= '9')) return false;
    if (!IsDigit(text[7]) && !(IsLetter(text[7]) && text[7] != 'O')) return false;
    for (size_t i = 8; i < length; ++i) {
        if (!IsAlphanumeric(text[i])) return false;
    }
    return true;
}

bool CleanText(CString& text, size_t maxChars)
{
    const char* chars = text.GetString();
    const size_t fullLength = text.GetLength();
    size_t length = fullLength;
    if (maxChars != 0 && maxChars < length) length = maxChars;

    size_t first = 0;
    while (first < length && !IsAlphanumeric(chars[first]))
        ++first;
    size_t end = length;
    while (end > first && !IsAlphanumeric(chars[end - 1]))
        --end;

    // The kept characters move to the front of the string's own buffer.
    if (first != 0 || end != fullLength) text.Assign(chars + first, end - first);
    return end > first;
}
