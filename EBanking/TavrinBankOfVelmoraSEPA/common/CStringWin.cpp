// The parts of CString that talk to Windows: string resources and BSTRs.

#include "common/CString.h"
#include "common/CodePageText.h"

BSTR CString::AllocSysString() const { return NewBstrFromCodePage(std::string_view(GetString(), GetLength()), CP_ACP); }

bool CString::LoadString(HMODULE module, UINT id)
{
    char buffer[256];
    buffer[0] = '\0'; // a missing entry leaves the buffer untouched
    ::LoadStringA(module, id, buffer, static_cast<int>(sizeof buffer));
    *this = buffer;
    return GetLength() != 0;
}
