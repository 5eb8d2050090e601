// Counted classes that break the object base's rules, one per build of this file; each must
// fail to build with the rule's own message.
#include "common/ComObject.h"

#include <objidl.h>

namespace {

#if defined(MISUSE_PUBLIC_DESTRUCTOR)
// Anyone could delete it while references are out.
class CMisuse : public IPersist {
public:
    using Interfaces = ComInterfaces<ComInterface<IPersist>>;
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
    ~CMisuse() = default;
};
#elif defined(MISUSE_UNRELATED_INTERFACE)
// Lists an interface it does not implement.
class CMisuse : public IPersist {
public:
    using Interfaces = ComInterfaces<ComInterface<IPersist>, ComInterface<IStream>>;
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }

protected:
    ~CMisuse() = default;
};
#elif defined(MISUSE_UNRELATED_ALSO_ANSWERED)
// Would answer IPersistStream's identifier with a plain IPersist.
class CMisuse : public IPersist {
public:
    using Interfaces = ComInterfaces<ComInterface<IPersist, IPersistStream>>;
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }

protected:
    ~CMisuse() = default;
};
#endif

} // namespace

HRESULT CreateMisuse(void** out) { return CreateComObject<CMisuse>(nullptr, IID_IUnknown, out); }
