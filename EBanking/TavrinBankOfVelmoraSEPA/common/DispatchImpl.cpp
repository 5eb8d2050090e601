#include "common/DispatchImpl.h"

HRESULT LoadModuleTypeInfo(REFIID iid, ITypeInfo** info)
{
    *info = nullptr;
    wchar_t path[MAX_PATH];
    if (!ResourceModulePath(path, MAX_PATH)) return E_FAIL;
    ITypeLib* library = nullptr;
    HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, &library);
    if (FAILED(hr)) return hr;
    hr = library->GetTypeInfoOfGuid(iid, info);
    library->Release();
    return hr;
}
