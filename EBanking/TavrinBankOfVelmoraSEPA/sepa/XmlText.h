#pragma once
// Text as an XML 1.0 document can hold it. Host values reach the payment file as they are;
// one character that XML cannot hold (a control other than tab, line feed and carriage return,
// U+FFFE, U+FFFF, half a surrogate pair) makes the whole file unreadable or unsaveable.
#include <cstddef>
#include <string>

// True when every character of the text may stand in an XML 1.0 document.
bool HoldsOnlyXmlCharacters(const wchar_t* text, std::size_t length);

// The text with each character that XML 1.0 cannot hold replaced by '?', the mark that the
// component's narrowing leaves for a character that has no place.
std::wstring WithXmlCharactersOnly(const wchar_t* text, std::size_t length);
