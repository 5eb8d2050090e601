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

// One class object per class, living as long as the module's static data: nothing to make on
// request, nothing left behind when the module is unloaded.
ClassFactory g_classObjects[] = {
    ClassFactory(kClasses[0].create),
    ClassFactory(kClasses[1].create),
    ClassFactory(kClasses[2].create),
};
static_assert(sizeof g_classObjects / sizeof g_classObjects[0] == kClassCount, "one class object per class");

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
        if (*kClasses[i].clsid == clsid) return g_classObjects[i].QueryInterface(riid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}
