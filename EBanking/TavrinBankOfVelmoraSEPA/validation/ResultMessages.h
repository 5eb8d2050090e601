#pragma once
#include "common/CString.h"

#include <windows.h>
#include <oleauto.h>

// Loads the message of a payment result code from the module's string table into message.
// True when a non-empty text was loaded; a code without a text (3 to 19, below 0, 36 to 104,
// above 108) gives false.
bool LoadResultMessage(CString& message, long resultCode);

// The message text of a payment result code as a new BSTR owned by the caller, or null when
// the code has no text.
BSTR ResultMessageFor(long resultCode);
