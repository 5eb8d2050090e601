#include "ComTestSupport.h"

namespace testsupport {

std::wstring TakeErrorDescription()
{
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || !info) return std::wstring();
    BSTR description = nullptr;
    info->GetDescription(&description);
    info->Release();
    std::wstring text = description ? std::wstring(description, SysStringLen(description)) : std::wstring();
    SysFreeString(description);
    return text;
}

bool NoErrorInfo()
{
    IErrorInfo* info = nullptr;
    HRESULT hr = GetErrorInfo(0, &info);
    if (info) {
        SetErrorInfo(0, info);  // put it back: looking must not change the answer
        info->Release();
    }
    return hr != S_OK;
}

void ClearErrorInfo()
{
    SetErrorInfo(0, nullptr);
}

} // namespace testsupport
