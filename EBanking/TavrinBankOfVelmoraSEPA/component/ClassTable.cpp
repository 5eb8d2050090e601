#include "component/ClassTable.h"

#include "common/ComObject.h"
#include "component/BankPaymentService.h"

#include <memory>

namespace {

template <class T>
HRESULT Create(IUnknown* outer, REFIID riid, void** out)
{
    return CreateComObject<T>(outer, riid, out);
}

const ClassEntry kClasses[] = {
    {&CLSID_BankPaymentService, &Create<CBankPaymentService>},
};
const size_t kClassCount = sizeof kClasses / sizeof kClasses[0];

// Class objects are made on first request and kept until the module is unloaded. The module
// runs in single-threaded apartments; the slot is claimed with an interlocked exchange so two
// threads that race still end up sharing one object.
ClassFactory* g_classObjects[kClassCount];

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
        if (!g_classObjects[i]) {
            auto* made = new (std::nothrow) ClassFactory(kClasses[i].create);
            if (!made) return E_OUTOFMEMORY;
            if (InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(&g_classObjects[i]), made, nullptr))
                delete made;
        }
        return g_classObjects[i]->QueryInterface(riid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}
