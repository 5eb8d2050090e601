#include "component/Registration.h"

#include "common/ComPtr.h"
#include "common/ResourceModule.h"
#include "common/UniqueResource.h"
#include "component/ClassTable.h"
#include "component/RegistryScript.h"

#include <comcat.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace {

using RegKey = UniqueResource<HKEY, &RegCloseKey>;

std::wstring ModulePath()
{
    wchar_t path[MAX_PATH] = {};
    return ResourceModulePath(path, MAX_PATH) ? std::wstring(path) : std::wstring();
}

// The script resource as text: stored as plain ASCII.
bool LoadScriptText(UINT resourceId, std::wstring& text)
{
    std::string_view bytes;
    if (FindResourceBytes(ResourceModule(), "REGISTRY", resourceId, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), bytes) !=
        ResourceLookup::Found)
        return false;
    text.assign(bytes.begin(), bytes.end());
    return true;
}

HRESULT FromWin32(LONG rc) { return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc); }

HRESULT CreateKey(HKEY root, const std::wstring& path, const std::wstring* name, const std::wstring* data)
{
    RegKey key;
    LONG rc = RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Receive(), nullptr);
    if (rc == ERROR_SUCCESS && data)
        rc = RegSetValueExW(key.Get(),
                            name ? name->c_str() : nullptr,
                            0,
                            REG_SZ,
                            reinterpret_cast<const BYTE*>(data->c_str()),
                            static_cast<DWORD>((data->size() + 1) * sizeof(wchar_t)));
    return FromWin32(rc);
}

HRESULT DeleteTree(HKEY root, const std::wstring& path)
{
    const LONG rc = RegDeleteTreeW(root, path.c_str());
    return rc == ERROR_FILE_NOT_FOUND ? S_OK : FromWin32(rc);
}

HRESULT Apply(HKEY root, const RegistryLine& line)
{
    const std::wstring* data = line.hasData ? &line.data : nullptr;
    switch (line.kind) {
    case RegistryLineKind::ForceRemove: {
        const HRESULT hr = DeleteTree(root, line.path);
        if (FAILED(hr)) return hr;
        return CreateKey(root, line.path, nullptr, data);
    }
    case RegistryLineKind::Key: return CreateKey(root, line.path, nullptr, data);
    case RegistryLineKind::NoRemove: return CreateKey(root, line.path, nullptr, nullptr);
    case RegistryLineKind::Value: return CreateKey(root, line.path, &line.name, data);
    }
    return E_UNEXPECTED;
}

HRESULT Remove(HKEY root, const RegistryLine& line)
{
    if (line.kind == RegistryLineKind::Key || line.kind == RegistryLineKind::ForceRemove)
        return DeleteTree(root, line.path);
    return S_OK;
}

std::wstring ClsidKeyPath(const CLSID& clsid)
{
    wchar_t text[64] = {};
    StringFromGUID2(clsid, text, 64);
    return std::wstring(L"CLSID\\") + text;
}

// Deletes a key when it has neither subkeys nor values left.
void DeleteKeyIfEmpty(const std::wstring& path)
{
    RegKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return;
    DWORD subKeys = 0, values = 0;
    if (RegQueryInfoKeyW(key.Get(),
                         nullptr,
                         nullptr,
                         nullptr,
                         &subKeys,
                         nullptr,
                         nullptr,
                         &values,
                         nullptr,
                         nullptr,
                         nullptr,
                         nullptr) != ERROR_SUCCESS)
        return;
    if (subKeys == 0 && values == 0) RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
}

HRESULT ChangeCategories(const ClassEntry& entry, bool registering)
{
    if (entry.categoryCount == 0) return S_OK;
    ComPtr<ICatRegister> categories;
    HRESULT hr = CoCreateInstance(CLSID_StdComponentCategoriesMgr,
                                  nullptr,
                                  CLSCTX_INPROC_SERVER,
                                  IID_ICatRegister,
                                  reinterpret_cast<void**>(&categories));
    if (FAILED(hr)) return hr;
    CATID* ids = const_cast<CATID*>(entry.categories);
    hr = registering ? categories->RegisterClassImplCategories(*entry.clsid, entry.categoryCount, ids)
                     : categories->UnRegisterClassImplCategories(*entry.clsid, entry.categoryCount, ids);
    if (!registering) {
        const std::wstring clsidKey = ClsidKeyPath(*entry.clsid);
        DeleteKeyIfEmpty(clsidKey + L"\\Implemented Categories");
        DeleteKeyIfEmpty(clsidKey + L"\\Required Categories");
    }
    return hr;
}

// The type library embedded in the module.
HRESULT LoadModuleTypeLibrary(ComPtr<ITypeLib>& library)
{
    return LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &library);
}

HRESULT RegisterTypeLibrary()
{
    ComPtr<ITypeLib> library;
    const HRESULT hr = LoadModuleTypeLibrary(library);
    if (FAILED(hr)) return hr;
    std::wstring path = ModulePath();
    return RegisterTypeLib(library, &path[0], nullptr);
}

HRESULT UnregisterTypeLibrary()
{
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadModuleTypeLibrary(library);
    if (FAILED(hr)) return hr;
    TLIBATTR* attributes = nullptr;
    hr = library->GetLibAttr(&attributes);
    if (FAILED(hr)) return hr;
    hr = UnRegisterTypeLib(
        attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid, attributes->syskind);
    library->ReleaseTLibAttr(attributes);
    // Already gone is as good as removed.
    return hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_CANTLOADLIBRARY ? S_OK : hr;
}

} // namespace

HRESULT RunRegistryScriptResource(HKEY root, UINT resourceId, bool registering)
{
    std::wstring text;
    if (!LoadScriptText(resourceId, text)) return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
    std::vector<RegistryLine> lines;
    if (!ParseRegistryScript(text, ModulePath(), lines)) return E_UNEXPECTED;
    if (registering) {
        for (const RegistryLine& line : lines) {
            const HRESULT hr = Apply(root, line);
            if (FAILED(hr)) return hr;
        }
    } else {
        for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
            const HRESULT hr = Remove(root, *line);
            if (FAILED(hr)) return hr;
        }
    }
    return S_OK;
}

HRESULT RegisterModule()
{
    size_t count = 0;
    const ClassEntry* classes = ClassTable(&count);
    for (size_t i = 0; i < count; ++i) {
        HRESULT hr = RunRegistryScriptResource(HKEY_CLASSES_ROOT, classes[i].registryScript, true);
        if (SUCCEEDED(hr)) hr = ChangeCategories(classes[i], true);
        if (FAILED(hr)) return hr;
    }
    return RegisterTypeLibrary();
}

HRESULT UnregisterModule()
{
    size_t count = 0;
    const ClassEntry* classes = ClassTable(&count);
    for (size_t i = 0; i < count; ++i) {
        HRESULT hr = ChangeCategories(classes[i], false);
        if (SUCCEEDED(hr)) hr = RunRegistryScriptResource(HKEY_CLASSES_ROOT, classes[i].registryScript, false);
        if (FAILED(hr)) return hr;
    }
    return UnregisterTypeLibrary();
}
