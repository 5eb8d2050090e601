#include "PaymentServiceLoader.h"

namespace tavrin_host {
namespace {

const CLSID kPaymentServiceClass = {0x0EC073DF, 0xC6B5, 0x4DD2, {0xAA, 0xA0, 0x2D, 0xD5, 0xE6, 0x5B, 0x3A, 0x1A}};

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring Hex(HRESULT hr)
{
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

} // namespace

PaymentServiceLoader::~PaymentServiceLoader()
{
    if (m_module) FreeLibrary(m_module);
}

ITavrinBankPaymentService* PaymentServiceLoader::Load(std::wstring& whyNot)
{
    const std::wstring dll = ProgramFolder() + L"TavrinBankOfVelmoraSEPA.dll";
    m_module = LoadLibraryW(dll.c_str());
    if (!m_module) {
        whyNot = L"cannot load " + dll;
        return nullptr;
    }
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(m_module, "DllGetClassObject")));
    if (!getClassObject) {
        whyNot = L"the DLL exports no DllGetClassObject";
        return nullptr;
    }
    IClassFactory* factory = nullptr;
    HRESULT hr = getClassObject(kPaymentServiceClass, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) {
        whyNot = L"no class object for the payment service: " + Hex(hr);
        return nullptr;
    }
    ITavrinBankPaymentService* service = nullptr;
    hr = factory->CreateInstance(nullptr, __uuidof(ITavrinBankPaymentService), reinterpret_cast<void**>(&service));
    factory->Release();
    if (FAILED(hr)) {
        whyNot = L"cannot create the payment service: " + Hex(hr);
        return nullptr;
    }
    return service;
}

} // namespace tavrin_host
