// The identifier checks and text cleaning on arbitrary bytes. Each result is compared with
// what the checks promise, worked out here with the C library's character classes in the
// "C" locale (where no byte of 0x80 and above is a letter or a digit), and each check must
// accept its own written-back value the same way a second time.
//
// Input: one byte for the text limit of CleanText, then the text. A second reading of the
// whole input as UTF-16 code units goes through the narrowing of host values.

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "common/CString.h"
#include "validation/IdentifierChecks.h"
#include "validation/IdentifierText.h"

namespace {
bool Letter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool Digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool Alphanumeric(char c) { return Letter(c) || Digit(c); }
char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string WithoutSpaces(const std::string& text)
{
    std::string result;
    for (const char c : text)
        if (c != ' ') result += c;
    return result;
}

std::string UpperCased(std::string text)
{
    for (char& c : text)
        c = Upper(c);
    return text;
}

void CheckNormalise(const std::string& text)
{
    for (int flags = 0; flags < 4; ++flags) {
        const bool removeSpaces = flags & 1;
        const bool toUpper = flags & 2;
        CString value(text.c_str());
        NormaliseIdentifier(value, removeSpaces, toUpper);
        std::string expected = removeSpaces ? WithoutSpaces(text) : text;
        if (toUpper) expected = UpperCased(expected);
        FUZZ_CHECK(expected == value.GetString());
        FUZZ_CHECK(value.GetLength() <= text.size());
    }
}

bool IbanShape(const std::string& iban)
{
    if (iban.size() < 5 || iban.size() > 34) return false;
    if (!Letter(iban[0]) || !Letter(iban[1]) || !Digit(iban[2]) || !Digit(iban[3])) return false;
    for (size_t i = 4; i < iban.size(); ++i)
        if (!Alphanumeric(iban[i])) return false;
    return true;
}

void CheckIban(const std::string& text)
{
    std::string expected = WithoutSpaces(text);
    if (expected.size() >= 5 && expected.size() <= 34) {
        // Only the country code is upper-cased; the rest keeps its case.
        expected[0] = Upper(expected[0]);
        expected[1] = Upper(expected[1]);
    }
    CString iban(text.c_str());
    const bool valid = IsValidIban(iban);
    FUZZ_CHECK(expected == iban.GetString());
    FUZZ_CHECK(valid == IbanShape(expected));

    CString again(iban);
    FUZZ_CHECK(IsValidIban(again) == valid);
    FUZZ_CHECK(std::strcmp(again.GetString(), iban.GetString()) == 0);
}

bool BicShape(const std::string& bic)
{
    if (bic.size() != 8 && bic.size() != 11) return false;
    for (size_t i = 0; i < 6; ++i)
        if (!Letter(bic[i])) return false;
    if (!Letter(bic[6]) && !(bic[6] >= '2' && bic[6] <= '9')) return false;
    if (bic[7] == 'O' || !Alphanumeric(bic[7])) return false;
    for (size_t i = 8; i < bic.size(); ++i)
        if (!Alphanumeric(bic[i])) return false;
    return true;
}

void CheckBic(const std::string& text)
{
    const std::string expected = UpperCased(WithoutSpaces(text));
    CString bic(text.c_str());
    const bool valid = IsValidBic(bic);
    FUZZ_CHECK(expected == bic.GetString());
    FUZZ_CHECK(valid == BicShape(expected));
    for (const char c : expected)
        FUZZ_CHECK(c != ' ' && !(c >= 'a' && c <= 'z'));

    CString again(bic);
    FUZZ_CHECK(IsValidBic(again) == valid);
    FUZZ_CHECK(std::strcmp(again.GetString(), bic.GetString()) == 0);
}

// The text is cut to maxChars first; then what lies outside its first and last letter or
// digit goes, and everything between them stays.
void CheckCleanText(const std::string& text, size_t maxChars)
{
    const std::string cut = (maxChars != 0 && maxChars < text.size()) ? text.substr(0, maxChars) : text;
    std::string expected;
    size_t first = 0;
    while (first < cut.size() && !Alphanumeric(cut[first]))
        ++first;
    if (first < cut.size()) {
        size_t last = cut.size() - 1;
        while (!Alphanumeric(cut[last]))
            --last;
        expected = cut.substr(first, last - first + 1);
    }

    CString value(text.c_str());
    const bool anythingLeft = CleanText(value, maxChars);
    FUZZ_CHECK(expected == value.GetString());
    FUZZ_CHECK(anythingLeft == !expected.empty());
    FUZZ_CHECK(maxChars == 0 || value.GetLength() <= maxChars);
    if (anythingLeft) FUZZ_CHECK(Alphanumeric(value.GetAt(0)) && Alphanumeric(value.GetAt(value.GetLength() - 1)));

    // Cleaning what is already clean changes nothing.
    CString again(value);
    FUZZ_CHECK(CleanText(again, maxChars) == anythingLeft);
    FUZZ_CHECK(std::strcmp(again.GetString(), value.GetString()) == 0);
}

// Host values reach the checks narrowed from UTF-16: at most 255 characters, each code unit
// up to U+00FF as its own byte and anything else as '?', so no NUL can cut a value short and
// a value holding such a character never passes.
void CheckNarrowing(const std::uint8_t* data, size_t size)
{
    std::wstring wide;
    for (size_t i = 0; i + 1 < size; i += 2)
        wide += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));

    IdentifierBuffer buffer;
    const std::string narrow(buffer, NarrowIdentifier(wide.c_str(), wide.size(), buffer));
    FUZZ_CHECK(narrow.size() == std::min(wide.size(), kIdentifierMaxChars));
    bool foreign = false;
    for (size_t i = 0; i < narrow.size(); ++i) {
        const unsigned long unit = static_cast<unsigned long>(wide[i]);
        if (unit == 0 || unit > 0xFF) {
            FUZZ_CHECK(narrow[i] == '?');
            foreign = true;
        } else {
            FUZZ_CHECK(static_cast<unsigned char>(narrow[i]) == unit);
        }
    }
    FUZZ_CHECK(std::strlen(narrow.c_str()) == narrow.size());
    FUZZ_CHECK(NarrowIdentifier(nullptr, wide.size(), buffer) == 0 && buffer[0] == '\0');

    CString iban(narrow.c_str());
    CString bic(narrow.c_str());
    const bool ibanValid = IsValidIban(iban);
    const bool bicValid = IsValidBic(bic);
    if (foreign) FUZZ_CHECK(!ibanValid && !bicValid);
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    // 0 means no limit; otherwise a limit around the real one of 70 and the 34 of an IBAN.
    const size_t maxChars = data[0];
    // CString takes C strings: its text ends at the first NUL, as the host's would here.
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string cText = text.c_str();

    CheckNormalise(cText);
    CheckIban(cText);
    CheckBic(cText);
    CheckCleanText(cText, maxChars);
    CheckNarrowing(data, size);
    return 0;
}
