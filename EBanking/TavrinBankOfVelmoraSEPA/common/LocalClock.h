#pragma once
// The local wall clock as a value that code reading the time takes, so that tests can fix
// the moment instead of waiting for it.
#include <windows.h>

#include <functional>

using LocalClock = std::function<SYSTEMTIME()>;

// The current local time (GetLocalTime).
SYSTEMTIME CurrentLocalTime();
