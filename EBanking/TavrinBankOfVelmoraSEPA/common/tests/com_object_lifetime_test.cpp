// What a counted object holds while it is destroyed: the module stays loaded until the object's
// own destructor and its members' are done.
#include "common/ComObject.h"

#include <gtest/gtest.h>

namespace {

LONG g_locksSeenByDestructor = -1;

// Records the module count when the last of its members goes.
struct LastMember {
    ~LastMember() { g_locksSeenByDestructor = ModuleLockCount(); }
};

class Counted : public IUnknown {
public:
    using Interfaces = ComInterfaces<ComInterface<IUnknown>>;
    virtual ~Counted() = default;

private:
    LastMember m_last;
};

} // namespace

TEST(ComObjectLifetime, ModuleStaysLockedUntilTheObjectIsFullyDestroyed)
{
    const LONG before = ModuleLockCount();
    IUnknown* object = nullptr;
    ASSERT_EQ(S_OK, CreateComObject<Counted>(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)));
    EXPECT_EQ(before + 1, ModuleLockCount());
    object->Release();
    EXPECT_EQ(before + 1, g_locksSeenByDestructor) << "the object's members were destroyed after its module lock";
    EXPECT_EQ(before, ModuleLockCount());
}
