// The pieces of the COM support library that MinGW declares in <comdef.h> and <comutil.h> but
// does not ship. Narrow strings use the system's ANSI code page, as the library's own do.
#include <windows.h>
#include <comdef.h>

#include "common/CodePageText.h"
#include "common/ComPtr.h"

#include <cstring>
#include <new>

void WINAPI _com_issue_errorex(HRESULT hr, IUnknown* object, REFIID riid)
{
    IErrorInfo* info = nullptr;
    if (object) {
        ComPtr<ISupportErrorInfo> support;
        if (SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support))) && support) {
            if (support->InterfaceSupportsErrorInfo(riid) == S_OK && GetErrorInfo(0, &info) != S_OK) info = nullptr;
        }
    }
    // _com_error takes over the reference to the error information.
    throw _com_error(hr, info);
}

namespace _com_util {

BSTR WINAPI ConvertStringToBSTR(const char* source)
{
    if (!source) return nullptr;
    BSTR result = nullptr;
    try {
        const std::wstring wide = WidenText(source, CP_ACP);
        result = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    } catch (const std::bad_alloc&) {
    }
    if (!result) _com_issue_error(E_OUTOFMEMORY);
    return result;
}

char* WINAPI ConvertBSTRToString(BSTR source)
{
    if (!source) return nullptr;
    char* result = nullptr;
    try {
        const std::string narrow = NarrowText(source, SysStringLen(source), CP_ACP);
        result = new char[narrow.size() + 1];
        std::memcpy(result, narrow.c_str(), narrow.size() + 1);
    } catch (const std::bad_alloc&) {
    }
    if (!result) _com_issue_error(E_OUTOFMEMORY);
    return result;
}

} // namespace _com_util
