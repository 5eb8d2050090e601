#pragma once
#include <windows.h>
#include <oleauto.h>

// The message text of a payment result code as a new BSTR owned by the caller, or null when
// the code has no text.
BSTR ResultMessageFor(long resultCode);
