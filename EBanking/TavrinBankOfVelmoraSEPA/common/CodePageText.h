#pragma once
// Conversions between narrow text in a code page and UTF-16. Characters the code page cannot
// hold become its default character.
#include <windows.h>

#include <string>
#include <string_view>

std::wstring WidenText(std::string_view text, UINT codePage);
std::string NarrowText(const wchar_t* text, size_t length, UINT codePage);
