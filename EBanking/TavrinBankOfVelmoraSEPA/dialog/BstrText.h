#pragma once

#include <windows.h>
#include <oleauto.h>

#include <memory>
#include <string>

struct BstrDeleter
{
    void operator()(OLECHAR* text) const { SysFreeString(text); }
};
using UniqueBstr = std::unique_ptr<OLECHAR, BstrDeleter>;

// The text in the thread's ANSI code page; a null BSTR gives empty text.
std::string NarrowFromBstr(BSTR text);

// A new BSTR holding the text widened from the thread's ANSI code page. The
// caller owns it. Throws std::bad_alloc when it cannot be allocated.
BSTR AllocBstrFromNarrow(const std::string& text);
