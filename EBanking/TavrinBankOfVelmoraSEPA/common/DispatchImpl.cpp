#include "common/DispatchImpl.h"

HRESULT LoadModuleTypeInfo(REFIID iid, ITypeInfo** info)
{
    *info = nullptr;
    wchar_t path[MAX_PATH];
    if (!ResourceModulePath(path, MAX_PATH)) return E_FAIL;
    ComPtr<ITypeLib> library;
    const HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, &library);
    if (FAILED(hr)) return hr;
    return library->GetTypeInfoOfGuid(iid, info);
}
