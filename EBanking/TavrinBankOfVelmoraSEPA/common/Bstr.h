#pragma once
// Owns one BSTR and frees it when it goes: strings read from the host, and strings made for
// a host setter, which only borrows them.
#include <windows.h>
#include <oleauto.h>

#include <string>

class CBstr {
public:
    CBstr() = default;
    explicit CBstr(BSTR adopted) : m_text(adopted) {}
    ~CBstr() { SysFreeString(m_text); }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;

    // The out-parameter for a getter; whatever was held before is freed first.
    BSTR* Receive()
    {
        SysFreeString(m_text);
        m_text = nullptr;
        return &m_text;
    }

    BSTR Get() const { return m_text; }
    // A null BSTR reads as the empty string.
    size_t Length() const { return SysStringLen(m_text); }
    std::wstring Text() const { return m_text ? std::wstring(m_text, Length()) : std::wstring(); }

private:
    BSTR m_text = nullptr;
};
