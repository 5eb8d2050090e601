#include "PaymentServiceLoader.h"

#include <comdef.h>

#include <cstdio>

namespace tavrin_host {
namespace {

_COM_SMARTPTR_TYPEDEF(ITavrinBank, __uuidof(ITavrinBank));
_COM_SMARTPTR_TYPEDEF(ITavrinBankServices, __uuidof(ITavrinBankServices));
_COM_SMARTPTR_TYPEDEF(ITavrinBankService, __uuidof(ITavrinBankService));
_COM_SMARTPTR_TYPEDEF(IBankSubCategory, __uuidof(IBankSubCategory));

const wchar_t kPaymentServiceName[] = L"Bank Payment Service";

std::wstring Describe(const wchar_t* what, HRESULT hr)
{
    wchar_t code[16];
    std::swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return std::wstring(what) + L": " + code;
}

std::wstring Take(BSTR text)
{
    std::wstring value = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return value;
}

} // namespace

ITavrinBankPaymentService* LoadPaymentService(const wchar_t* bankProgId, BankDescription& bank, std::wstring& whyNot)
{
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(bankProgId, &clsid);
    if (FAILED(hr)) {
        whyNot = Describe((std::wstring(bankProgId) + L" is not registered").c_str(), hr);
        return nullptr;
    }
    ITavrinBankPtr created;
    hr = CoCreateInstance(
        clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(ITavrinBank), reinterpret_cast<void**>(&created));
    if (FAILED(hr)) {
        whyNot = Describe(L"cannot create the bank", hr);
        return nullptr;
    }

    BSTR text = nullptr;
    if (SUCCEEDED(created->get_Name(&text))) bank.name = Take(text);
    LONG kind = 0;
    if (SUCCEEDED(created->get_Kind(&kind))) bank.kind = kind;
    IBankSubCategoryPtr subCategory;
    if (SUCCEEDED(created->QueryInterface(__uuidof(IBankSubCategory), reinterpret_cast<void**>(&subCategory))) &&
        SUCCEEDED(subCategory->get_SubCategory(&text)))
        bank.subCategory = Take(text);

    ITavrinBankServicesPtr services;
    hr = created->get_Services(&services);
    if (FAILED(hr)) {
        whyNot = Describe(L"the bank gave no services", hr);
        return nullptr;
    }
    VARIANT name;
    VariantInit(&name);
    name.vt = VT_BSTR;
    name.bstrVal = SysAllocString(kPaymentServiceName);
    ITavrinBankServicePtr service;
    hr = services->get_Item(name, &service);
    VariantClear(&name);
    if (FAILED(hr)) {
        whyNot = Describe(L"the bank has no \"Bank Payment Service\"", hr);
        return nullptr;
    }
    ITavrinBankPaymentService* payments = nullptr;
    hr = service->QueryInterface(__uuidof(ITavrinBankPaymentService), reinterpret_cast<void**>(&payments));
    if (FAILED(hr)) {
        whyNot = Describe(L"the bank's payment service is not one", hr);
        return nullptr;
    }
    return payments;
}

} // namespace tavrin_host
