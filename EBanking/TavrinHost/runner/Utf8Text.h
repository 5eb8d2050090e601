#pragma once
// Checks that bytes are UTF-8 as the standard defines it. Pure C++.
#include <cstddef>
#include <string_view>

namespace tavrin_host {

// The offset of the first byte that does not belong to a well-formed UTF-8 sequence (overlong
// forms, surrogates and code points past U+10FFFF are not), or npos when there is none.
size_t FirstInvalidUtf8(std::string_view text);

} // namespace tavrin_host
