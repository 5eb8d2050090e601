#pragma once
// Owns one BSTR and frees it when it goes: strings read from the host, and strings made for
// a host setter, which only borrows them.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

class CBstr {
public:
    CBstr() = default;
    explicit CBstr(BSTR adopted) : m_text(adopted) {}
    ~CBstr() { SysFreeString(m_text); }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
    CBstr(CBstr&& other) noexcept : m_text(other.m_text) { other.m_text = nullptr; }
    CBstr& operator=(CBstr&& other) noexcept
    {
        if (this != &other) {
            SysFreeString(m_text);
            m_text = other.m_text;
            other.m_text = nullptr;
        }
        return *this;
    }

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

// A new BSTR holding a copy of length characters of text; throws E_OUTOFMEMORY as an HRESULT
// (for a COM method frame to report) when there is no memory for it.
inline BSTR NewBstr(const wchar_t* text, UINT length)
{
    BSTR copy = SysAllocStringLen(text, length);
    if (!copy) throw static_cast<HRESULT>(E_OUTOFMEMORY);
    return copy;
}

inline BSTR NewBstr(const CBstr& text) { return NewBstr(text.Get(), static_cast<UINT>(text.Length())); }

// A new BSTR in which each byte becomes the code unit of the same value (U+0000 to U+00FF):
// the component's own ASCII texts, and values narrowed byte by byte, widened back as they were
// read. Throws E_OUTOFMEMORY as an HRESULT when there is no memory for it.
inline BSTR NewBstrFromBytes(std::string_view bytes)
{
    BSTR wide = SysAllocStringLen(nullptr, static_cast<UINT>(bytes.size()));
    if (!wide) throw static_cast<HRESULT>(E_OUTOFMEMORY);
    for (size_t i = 0; i < bytes.size(); ++i)
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    return wide;
}
