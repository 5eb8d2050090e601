#include "validation/IdentifierChecks.h"

#include "common/AsciiChars.h"

#include <string>

using ascii::IsAlphanumeric;
using ascii::IsDigit;
using ascii::IsLetter;
using ascii::ToUpper;

void NormaliseIdentifier(CString& value, bool removeSpaces, bool toUpper)
{
    const char* text = value.GetString();
    const size_t length = value.GetLength();
    std::string result;
    result.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (removeSpaces && c == ' ') continue;
        result += toUpper ? ToUpper(c) : c;
    }
    value = result.c_str();
}

bool IsValidIban(CString& iban)
{
    NormaliseIdentifier(iban, true, false);
    std::string text = iban.GetString();
    if (text.size() < 5 || text.size() > 34) return false;

    // Only the country code is upper-cased; the caller keeps the rest as given.
    text[0] = ToUpper(text[0]);
    text[1] = ToUpper(text[1]);
    iban = text.c_str();

    if (!IsLetter(text[0]) || !IsLetter(text[1]) || !IsDigit(text[2]) || !IsDigit(text[3])) return false;
    for (size_t i = 4; i < text.size(); ++i) {
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
    size_t length = text.GetLength();
    if (maxChars != 0 && maxChars < length) length = maxChars;

    size_t first = 0;
    while (first < length && !IsAlphanumeric(chars[first]))
        ++first;
    size_t end = length;
    while (end > first && !IsAlphanumeric(chars[end - 1]))
        --end;

    text = std::string(chars + first, end - first).c_str();
    return end > first;
}
