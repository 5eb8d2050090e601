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

} // namespace tavrin_host
