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

// Owns a BSTR.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* text) : m_s(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(m_s); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR* operator&() { SysFreeString(m_s); m_s = nullptr; return &m_s; }
    BSTR get() const { return m_s; }
    std::wstring str() const { return m_s ? std::wstring(m_s, SysStringLen(m_s)) : std::wstring(); }

private:
    BSTR m_s = nullptr;
};

// An exported function of a loaded module, typed.
template <class Fn>
Fn ProcAddress(HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

} // namespace testsupport
