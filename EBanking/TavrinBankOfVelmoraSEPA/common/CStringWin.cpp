// The parts of CString that talk to Windows: string resources and BSTRs.

#include "common/CString.h"

#include <climits>

BSTR CString::AllocSysString() const
{
    const size_t length = GetLength();
    if (length > static_cast<size_t>(INT_MAX))
        throw E_OUTOFMEMORY;
    const int narrowLength = static_cast<int>(length);
    const int wideLength =
        narrowLength ? MultiByteToWideChar(CP_ACP, 0, GetString(), narrowLength, nullptr, 0) : 0;
    if (narrowLength && !wideLength)
        throw E_UNEXPECTED;
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(wideLength));
    if (!result)
        throw E_OUTOFMEMORY;
    if (wideLength)
        MultiByteToWideChar(CP_ACP, 0, GetString(), narrowLength, result, wideLength);
    return result;
}

bool CString::LoadString(HMODULE module, UINT id)
{
    char buffer[256];
    buffer[0] = '\0';  // a missing entry leaves the buffer untouched
    ::LoadStringA(module, id, buffer, static_cast<int>(sizeof buffer));
    *this = buffer;
    return GetLength() != 0;
}
