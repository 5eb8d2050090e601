#pragma once
// Helpers for tests that drive COM objects.
#include <windows.h>
#include <oleauto.h>

#include <string>

namespace testsupport {

// The description of the thread's current error information, or empty; takes it off the thread.
std::wstring TakeErrorDescription();
// True when the thread has no error information set.
bool NoErrorInfo();
// Removes any error information from the thread.
void ClearErrorInfo();

// An exported function of a loaded module, typed.
template <class Fn>
Fn ProcAddress(HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

} // namespace testsupport
