#pragma once
// Whether two paths name one file, as Windows sees it.
#include <string>

namespace tavrin_host {

// True when both resolve to the same full path (names compared without regard to case), or
// both exist and are one file under two names (links, another drive or share onto it).
bool SameFile(const std::wstring& first, const std::wstring& second);

} // namespace tavrin_host
