#include "Utf8Text.h"

namespace tavrin_host {

size_t FirstInvalidUtf8(std::string_view text)
{
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The continuation bytes a lead byte needs, and the range its first one must fall in
        // so that the sequence is neither overlong nor a surrogate nor past U+10FFFF.
        size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 2;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 3;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return i;
        }
        for (size_t k = 1; k <= length; ++k) {
            if (i + k >= n) return i;
            const unsigned char c = static_cast<unsigned char>(text[i + k]);
            if (k == 1 ? (c < low || c > high) : (c < 0x80 || c > 0xBF)) return i;
        }
        i += length + 1;
    }
    return std::string_view::npos;
}

void AppendUtf8(std::string& out, std::wstring_view text)
{
    static_assert(sizeof(wchar_t) == 2, "UTF-16 text");
    // Room for the longest form, three bytes a unit, cut to what was written.
    const size_t start = out.size();
    out.resize(start + 3 * text.size());
    char* next = &out[start];
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char16_t>(text[i]);
        if (c < 0x80) {
            *next++ = static_cast<char>(c);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            const char32_t low = i + 1 < text.size() ? static_cast<char16_t>(text[i + 1]) : 0;
            if (c <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            } else {
                c = 0xFFFD;
            }
        }
        if (c < 0x800) {
            *next++ = static_cast<char>(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            *next++ = static_cast<char>(0xE0 | (c >> 12));
            *next++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        } else {
            *next++ = static_cast<char>(0xF0 | (c >> 18));
            *next++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *next++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        *next++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    out.resize(static_cast<size_t>(next - out.data()));
}

} // namespace tavrin_host
