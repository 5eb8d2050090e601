#include "component/Bank.h"

CBank::CBank() : IBankImpl<CBankServices, IBank>(kBankDisplayName) {}

void* CBank::InternalQueryInterface(REFIID riid)
{
    if (riid == IID_IUnknown || riid == __uuidof(IBank) || riid == __uuidof(ITavrinBank) || riid == IID_IDispatch)
        return static_cast<IBank*>(this);
    if (riid == __uuidof(IBankSubCategory)) return static_cast<IBankSubCategory*>(this);
    if (riid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CBank::get_SubCategory(BSTR* subCategory)
{
    return ComMethod([&] {
        RequireArgument(subCategory);
        *subCategory = NewBstr(bank_subcategory::kSepa, static_cast<UINT>(wcslen(bank_subcategory::kSepa)));
    });
}

HRESULT STDMETHODCALLTYPE CBank::InterfaceSupportsErrorInfo(REFIID riid)
{
    return riid == __uuidof(IBank) ? S_OK : S_FALSE;
}
