#pragma once
// The bank object: the host's entry into this bank component.
#include "component/BankServices.h"
#include "component/IBankImpl.h"

#include "TavrinBankOfVelmoraSEPA.h"

// Sub-categories and property names that banks report to the host.
namespace bank_subcategory {
constexpr const wchar_t kUnknownCategory[] = L"UnknownCategory";
constexpr const wchar_t kSepa[] = L"SEPA";
constexpr const wchar_t kBoth[] = L"Both";
constexpr const wchar_t kReconciliationOnly[] = L"ReconciliationOnly";
constexpr const wchar_t kPaymentsOnly[] = L"PaymentsOnly";
constexpr const wchar_t kSubCategoryProperty[] = L"SubCategory";
constexpr const wchar_t kConfigurationDialogProperty[] = L"ConfigurationDialogProperty";
} // namespace bank_subcategory

class CBank : public IBankImpl<CBankServices, IBank>, public IBankSubCategory, public SupportErrorInfoFor<IBank> {
public:
    using Interfaces = ComInterfaces<ComInterface<IBank, ITavrinBank, IDispatch>, ComInterface<IBankSubCategory>,
                                     ComInterface<ISupportErrorInfo>>;

    HRESULT STDMETHODCALLTYPE get_SubCategory(BSTR* subCategory) override;

protected:
    CBank();
    ~CBank() = default;
};
