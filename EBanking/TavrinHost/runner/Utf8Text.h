#pragma once
// UTF-8 text: checks that bytes are UTF-8 as the standard defines it, and writes UTF-16 text
// (wchar_t, as Windows has it) as UTF-8. Pure C++.
#include <cstddef>
#include <string>
#include <string_view>

namespace tavrin_host {

// The offset of the first byte that does not belong to a well-formed UTF-8 sequence (overlong
// forms, surrogates and code points past U+10FFFF are not), or npos when there is none.
size_t FirstInvalidUtf8(std::string_view text);

// Appends text to out in UTF-8. A surrogate that is not half of a pair becomes U+FFFD, as the
// system's own conversion writes it.
void AppendUtf8(std::string& out, std::wstring_view text);

} // namespace tavrin_host
