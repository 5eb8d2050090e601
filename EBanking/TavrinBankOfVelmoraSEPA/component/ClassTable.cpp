#include "component/ClassTable.h"

#include "common/ComObject.h"
#include "component/Bank.h"
#include "component/BankPaymentService.h"
#include "component/BankServices.h"
#include "resources/resource.h"

const CATID CATID_TavrinBankComponents = {0x4E28D2A2, 0xEE93, 0x11D3, {0x8A, 0x15, 0x00, 0xE0, 0x29, 0x17, 0x8D, 0x24}};

namespace {

template <class T>
HRESULT Create(IUnknown* outer, REFIID riid, void** out)
{
    return CreateComObject<T>(outer, riid, out);
}

const CATID kBankCategories[] = {CATID_TavrinBankComponents};

const ClassEntry kClasses[] = {
    {&CLSID_Bank, &Create<CBank>, IDR_REGISTRY_BANK, kBankCategories, 1},
    {&CLSID_BankServices, &Create<CBankServices>, IDR_REGISTRY_BANKSERVICES, nullptr, 0},
    {&CLSID_BankPaymentService, &Create<CBankPaymentService>, IDR_REGISTRY_BANKPAYMENTSERVICE, nullptr, 0},
};
const size_t kClassCount = sizeof kClasses / sizeof kClasses[0];

} // namespace

const ClassEntry* ClassTable(size_t* count)
{
    *count = kClassCount;
    return kClasses;
}

HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** out)
{
    *out = nullptr;
    for (size_t i = 0; i < kClassCount; ++i) {
        if (*kClasses[i].clsid != clsid) continue;
        // A class object per request: two apartments asking at once share nothing.
        return CreateComObject<ClassFactory>(nullptr, riid, out, kClasses[i].create);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}
