#pragma once
// The component's one conversion between narrow text in a code page and UTF-16. Lengths are
// counted, so embedded NULs pass through both ways; empty or failed conversions give empty text.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <vector>

std::wstring WidenText(std::string_view text, UINT codePage);

// How a character that the code page cannot hold is narrowed.
enum class Unmappable {
    BestFit,         // a look-alike where the code page has one, else its default character
    DefaultCharacter // always the default character
};

std::string NarrowText(const wchar_t* text, size_t length, UINT codePage, Unmappable unmappable = Unmappable::BestFit);

// The same into narrow, whose buffer is reused from one text to the next.
void NarrowTextInto(const wchar_t* text, size_t length, UINT codePage, Unmappable unmappable, std::string& narrow);

// A new BSTR, which the caller frees, holding text widened from the code page; empty text gives
// an empty BSTR. Throws E_OUTOFMEMORY as an HRESULT when there is no memory for it, and
// E_UNEXPECTED when the text does not convert.
BSTR NewBstrFromCodePage(std::string_view text, UINT codePage);

// Narrows text only when the code page holds every character as itself: no look-alike, no
// default character, and widening the result gives back exactly the text. False otherwise,
// with `narrow` empty.
bool NarrowExactly(std::wstring_view text, UINT codePage, std::string& narrow);

// The characters of text that NarrowExactly cannot carry into the code page, each once, in the
// order they first appear; a surrogate pair counts as one character.
std::vector<std::wstring> CharactersOutside(std::wstring_view text, UINT codePage);
