#include "ComTestSupport.h"

#include "common/Bstr.h"
#include "common/ComPtr.h"

namespace testsupport {

std::wstring TakeErrorDescription()
{
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) != S_OK || !info) return std::wstring();
    CBstr description;
    info->GetDescription(description.Receive());
    return description.Text();
}

bool NoErrorInfo()
{
    ComPtr<IErrorInfo> info;
    const HRESULT hr = GetErrorInfo(0, &info);
    if (info) SetErrorInfo(0, info); // put it back: looking must not change the answer
    return hr != S_OK;
}

void ClearErrorInfo() { SetErrorInfo(0, nullptr); }

} // namespace testsupport
