#include "component/Bank.h"

CBank::CBank() : IBankImpl<CBankServices, IBank>(kBankDisplayName) {}

HRESULT STDMETHODCALLTYPE CBank::get_SubCategory(BSTR* subCategory)
{
    return ComMethod([&] {
        RequireOut(subCategory);
        *subCategory = NewBstr(bank_subcategory::kSepa, static_cast<UINT>(wcslen(bank_subcategory::kSepa)));
    });
}
