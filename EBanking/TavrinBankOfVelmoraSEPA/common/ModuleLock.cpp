#include "common/ModuleLock.h"

namespace {
LONG g_moduleLocks;
}

void ModuleAddRef() { InterlockedIncrement(&g_moduleLocks); }
void ModuleRelease() { InterlockedDecrement(&g_moduleLocks); }
LONG ModuleLockCount() { return InterlockedCompareExchange(&g_moduleLocks, 0, 0); }
