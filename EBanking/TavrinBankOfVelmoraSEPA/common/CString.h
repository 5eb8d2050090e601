#pragma once

// The component's narrow string: text in the ANSI code page, held in a heap
// buffer sized exactly to what was asked for. A null buffer is the empty
// string. Failures are thrown as HRESULTs (E_INVALIDARG, E_OUTOFMEMORY).
//
// Growth is exact, never geometric, so building a long string one character
// at a time costs quadratic time: build the text elsewhere and assign it once.

#include <cstddef>
#include <cstdio> // defines the printf flavour used by Format

#include "common/HResult.h"

#ifdef _WIN32
#include <oleauto.h>
#endif

#if defined(__MINGW32__)
#define CSTRING_PRINTF_FORMAT(fmt, args) __attribute__((format(__MINGW_PRINTF_FORMAT, fmt, args)))
#elif defined(__GNUC__)
#define CSTRING_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define CSTRING_PRINTF_FORMAT(fmt, args)
#endif

class CString {
public:
    CString() = default;
    CString(const CString& other);
    CString(const char* text); // null text throws E_INVALIDARG
    virtual ~CString();

    CString& operator=(const CString& other);
    CString& operator=(const char* text); // null text throws E_INVALIDARG
    // Replaces the content with the first length characters of text, which may lie in this
    // string's own buffer; a buffer large enough is kept. Null text throws E_INVALIDARG.
    void Assign(const char* text, size_t length);

    // Counted on every call: the length is the position of the terminator.
    size_t GetLength() const;
    // Characters the buffer holds without its terminator.
    size_t GetCapacity() const { return m_capacity; }
    // Throws E_INVALIDARG when index is not below GetLength().
    char GetAt(size_t index) const;
    // Never null; "" for the empty string.
    const char* GetString() const { return m_text ? m_text : ""; }

    CString operator+(const CString& right) const;
    CString operator+(const char* right) const; // null throws E_INVALIDARG

    // printf-style formatting into a 256-byte buffer; longer results are cut
    // to 255 characters. A null format throws E_INVALIDARG.
    void Format(const char* format, ...) CSTRING_PRINTF_FORMAT(2, 3);

#ifdef _WIN32
    // A new BSTR, widened with the system ANSI code page; the caller frees it.
    BSTR AllocSysString() const;
    // Loads a string-table entry, cut to 255 bytes; a missing entry gives "".
    // True when the loaded text is not empty.
    bool LoadString(HMODULE module, UINT id);
#endif

private:
    // Makes room for n characters. A buffer that is too small is released
    // before the new one is allocated, so its content is lost.
    void Reserve(size_t n);
    void Append(const char* text, size_t length);

    char* m_text = nullptr;
    size_t m_capacity = 0;
};
