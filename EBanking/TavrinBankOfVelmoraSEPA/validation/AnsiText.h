#pragma once
// Narrowing of transliterated names and references into the calling thread's ANSI code page.
#include "common/CString.h"

#include <string>

// A character the code page cannot hold becomes the code page's default character. Throws
// E_OUTOFMEMORY for text too long to convert.
CString NarrowToThreadCodePage(const std::wstring& text);
