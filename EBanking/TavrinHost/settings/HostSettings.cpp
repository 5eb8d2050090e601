// The host's bank settings class as an in-process COM server. GetBankSettings answers the
// configured default payment directory; both record the bank name they were asked with.
#include "HostSettingsControl.h"

#include "HostObject.h"
#include "TavrinEBanking.h"

#include <olectl.h>

#include <cstring>
#include <new>
#include <string>

namespace {

const CLSID CLSID_HostBankSettings = {0x0BE0D1E2, 0x5E1E, 0x11D4, {0x9A, 0x80, 0x00, 0xA0, 0xCC, 0x5F, 0xF3, 0x3D}};
const wchar_t kClsidKey[] = L"CLSID\\{0BE0D1E2-5E1E-11D4-9A80-00A0CC5FF33D}";

HMODULE g_module;
LONG g_locks;
std::string g_directory;
DWORD g_faults;
HostSettingsCalls g_calls;

// Copies text into a caller's buffer of the given size, always ending inside it.
void CopyBounded(char* buffer, size_t size, const std::string& text)
{
    if (!buffer || size == 0) return;
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

std::string DefaultDirectory() { return g_directory; }

class BankSettings final : public tavrin_host::HostObject<BankSettings, IBankSettings> {
public:
    BankSettings() { InterlockedIncrement(&g_calls.liveObjects); }
    ~BankSettings() { InterlockedDecrement(&g_calls.liveObjects); }

    IUnknown* FindInterface(REFIID riid)
    {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IBankSettings))
            return static_cast<IBankSettings*>(this);
        return nullptr;
    }

    HRESULT STDMETHODCALLTYPE EditBankSettings(LPSTR bankName, LONG mode) override
    {
        ++g_calls.editCalls;
        g_calls.lastEditMode = mode;
        CopyBounded(g_calls.lastEditBankName, sizeof g_calls.lastEditBankName, bankName ? bankName : "");
        return (g_faults & HOST_SETTINGS_FAIL_EDIT) ? E_FAIL : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unused8() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBankSettings(LPSTR bankName, LPSTR fileName, LPSTR extension, LPSTR directory) override
    {
        ++g_calls.getCalls;
        CopyBounded(g_calls.lastGetBankName, sizeof g_calls.lastGetBankName, bankName ? bankName : "");
        if (g_faults & HOST_SETTINGS_FAIL_GET) return E_FAIL;
        CopyBounded(fileName, 1024, "Payments");
        CopyBounded(extension, 4, "txt");
        CopyBounded(directory, 1024, DefaultDirectory());
        return S_OK;
    }
};

// Made for each request: while a client holds it, the server stays loaded.
class ClassFactory final : public tavrin_host::HostUnknown<ClassFactory, IClassFactory> {
public:
    ClassFactory() { InterlockedIncrement(&g_locks); }
    ~ClassFactory() { InterlockedDecrement(&g_locks); }

    IUnknown* FindInterface(REFIID riid)
    {
        if (riid == IID_IUnknown || riid == IID_IClassFactory) return static_cast<IClassFactory*>(this);
        return nullptr;
    }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        const tavrin_host::HostRef<BankSettings> settings(new (std::nothrow) BankSettings);
        if (!settings) return E_OUTOFMEMORY;
        return settings->QueryInterface(riid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock)
            InterlockedIncrement(&g_locks);
        else
            InterlockedDecrement(&g_locks);
        return S_OK;
    }
};

std::wstring ModuleFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(g_module, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

LONG SetStringValue(HKEY key, const wchar_t* subKey, const wchar_t* name, const std::wstring& value)
{
    HKEY h;
    LONG rc = RegCreateKeyExW(key, subKey, 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    rc = RegSetValueExW(h,
                        name,
                        0,
                        REG_SZ,
                        reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(h);
    return rc;
}

HRESULT RegisterTypeLibFile(const std::wstring& path)
{
    tavrin_host::HostRef<ITypeLib> library;
    return LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, library.Receive());
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_HostBankSettings) return CLASS_E_CLASSNOTAVAILABLE;
    if (g_faults & HOST_SETTINGS_FAIL_CREATE) return REGDB_E_CLASSNOTREG;
    const tavrin_host::HostRef<ClassFactory> factory(new (std::nothrow) ClassFactory);
    if (!factory) return E_OUTOFMEMORY;
    return factory->QueryInterface(riid, out);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() { return g_locks == 0 && g_calls.liveObjects == 0 ? S_OK : S_FALSE; }

HRESULT STDAPICALLTYPE DllRegisterServer()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(g_module, path, MAX_PATH);
    std::wstring inproc = std::wstring(kClsidKey) + L"\\InprocServer32";
    if (SetStringValue(HKEY_CLASSES_ROOT, kClsidKey, nullptr, L"Tavrin Bank Settings") != ERROR_SUCCESS ||
        SetStringValue(HKEY_CLASSES_ROOT, inproc.c_str(), nullptr, path) != ERROR_SUCCESS ||
        SetStringValue(HKEY_CLASSES_ROOT, inproc.c_str(), L"ThreadingModel", L"Apartment") != ERROR_SUCCESS)
        return SELFREG_E_CLASS;
    HRESULT hr = RegisterTypeLibFile(ModuleFolder() + L"TavrinEBanking.tlb");
    if (SUCCEEDED(hr)) hr = RegisterTypeLibFile(ModuleFolder() + L"TavrinBankPayments.tlb");
    return SUCCEEDED(hr) ? S_OK : SELFREG_E_TYPELIB;
}

HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kClsidKey);
    return S_OK;
}

void WINAPI TavrinHostSettings_Configure(const char* paymentDirectory, DWORD faults)
{
    g_directory = paymentDirectory ? paymentDirectory : "";
    g_faults = faults;
}

void WINAPI TavrinHostSettings_ReadCalls(HostSettingsCalls* calls)
{
    if (calls) *calls = g_calls;
}

} // extern "C"
