// The pieces of the COM support library that MinGW declares in <comdef.h> and <comutil.h> but
// does not ship. Narrow strings use the system's ANSI code page, as the library's own do.
#include <windows.h>
#include <comdef.h>

#include <new>

void WINAPI _com_issue_errorex(HRESULT hr, IUnknown* object, REFIID riid)
{
    IErrorInfo* info = nullptr;
    if (object) {
        ISupportErrorInfo* support = nullptr;
        if (SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support))) && support) {
            if (support->InterfaceSupportsErrorInfo(riid) == S_OK && GetErrorInfo(0, &info) != S_OK) info = nullptr;
            support->Release();
        }
    }
    // _com_error takes over the reference to the error information.
    throw _com_error(hr, info);
}

namespace _com_util {

BSTR WINAPI ConvertStringToBSTR(const char* source)
{
    if (!source) return nullptr;
    int length = MultiByteToWideChar(CP_ACP, 0, source, -1, nullptr, 0);
    if (length <= 0) return SysAllocString(L"");
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(length - 1));
    if (!result) _com_issue_error(E_OUTOFMEMORY);
    MultiByteToWideChar(CP_ACP, 0, source, -1, result, length);
    return result;
}

char* WINAPI ConvertBSTRToString(BSTR source)
{
    if (!source) return nullptr;
    int wideLength = static_cast<int>(SysStringLen(source));
    int length = WideCharToMultiByte(CP_ACP, 0, source, wideLength, nullptr, 0, nullptr, nullptr);
    char* result = new (std::nothrow) char[static_cast<size_t>(length) + 1];
    if (!result) _com_issue_error(E_OUTOFMEMORY);
    WideCharToMultiByte(CP_ACP, 0, source, wideLength, result, length, nullptr, nullptr);
    result[length] = '\0';
    return result;
}

} // namespace _com_util
