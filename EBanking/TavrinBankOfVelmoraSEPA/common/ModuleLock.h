#pragma once
#include <windows.h>

// The module's count of live objects and server locks: while it is above zero the library
// must stay loaded. The only counter in the component that is changed with interlocked calls.
void ModuleAddRef();
void ModuleRelease();
LONG ModuleLockCount();

// A member or base that holds one module lock for the life of its owner.
class ModuleLock {
public:
    ModuleLock() { ModuleAddRef(); }
    ModuleLock(const ModuleLock&) { ModuleAddRef(); }
    ModuleLock& operator=(const ModuleLock&) = default;
    ~ModuleLock() { ModuleRelease(); }
};
