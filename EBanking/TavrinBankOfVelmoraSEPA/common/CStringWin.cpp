// The parts of CString that talk to Windows: string resources and BSTRs.

#include "common/CString.h"
#include "common/CodePageText.h"

#include <climits>
#include <new>

BSTR CString::AllocSysString() const
{
    const size_t length = GetLength();
    if (length > static_cast<size_t>(INT_MAX)) throw E_OUTOFMEMORY;
    std::wstring wide;
    try {
        wide = WidenText(std::string_view(GetString(), length), CP_ACP);
    } catch (const std::bad_alloc&) {
        throw E_OUTOFMEMORY;
    }
    if (length && wide.empty()) throw E_UNEXPECTED;
    BSTR result = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!result) throw E_OUTOFMEMORY;
    return result;
}

bool CString::LoadString(HMODULE module, UINT id)
{
    char buffer[256];
    buffer[0] = '\0'; // a missing entry leaves the buffer untouched
    ::LoadStringA(module, id, buffer, static_cast<int>(sizeof buffer));
    *this = buffer;
    return GetLength() != 0;
}
