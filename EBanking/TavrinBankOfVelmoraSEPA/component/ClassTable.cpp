#include "component/ClassTable.h"

#include "common/ComObject.h"
#include "component/Bank.h"
#include "component/BankPaymentService.h"
#include "component/BankServices.h"
#include "resources/resource.h"

#define SEPA_CATEGORY(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
    extern const CATID CATID_##name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}};
#include "component/Categories.inc"
#undef SEPA_CATEGORY

namespace {

template <class T>
HRESULT Create(IUnknown* outer, REFIID riid, void** out)
{
    return CreateComObject<T>(outer, riid, out);
}

// A class row's category as the list that registration takes: the one category, or none.
struct CategoryList {
    const CATID* ids;
    ULONG count;
};
constexpr CategoryList kCategoriesOfNone = {nullptr, 0};
#define SEPA_CATEGORY(name, ...) constexpr CategoryList kCategoriesOf##name = {&CATID_##name, 1};
#include "component/Categories.inc"
#undef SEPA_CATEGORY

const ClassEntry kClasses[] = {
#define SEPA_CLASS(name, script, category) \
    {&CLSID_##name, &Create<C##name>, script, kCategoriesOf##category.ids, kCategoriesOf##category.count},
#include "component/Classes.inc"
#undef SEPA_CLASS
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
