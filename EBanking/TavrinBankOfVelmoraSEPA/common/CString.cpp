#include "common/CString.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
const size_t kFormatBufferSize = 256;

const char* RequireText(const char* text)
{
    if (!text) throw E_INVALIDARG;
    return text;
}
}

CString::CString(const CString& other) { Assign(other.GetString(), other.GetLength()); }

CString::CString(const char* text)
{
    RequireText(text);
    Assign(text, std::strlen(text));
}

CString::~CString() { std::free(m_text); }

CString& CString::operator=(const CString& other)
{
    Assign(other.GetString(), other.GetLength());
    return *this;
}

CString& CString::operator=(const char* text)
{
    RequireText(text);
    Assign(text, std::strlen(text));
    return *this;
}

size_t CString::GetLength() const { return m_text ? std::strlen(m_text) : 0; }

char CString::GetAt(size_t index) const
{
    if (index >= GetLength()) throw E_INVALIDARG;
    return m_text[index];
}

CString CString::operator+(const CString& right) const
{
    CString result(*this);
    result.Append(right.GetString(), right.GetLength());
    return result;
}

CString CString::operator+(const char* right) const
{
    RequireText(right);
    CString result(*this);
    result.Append(right, std::strlen(right));
    return result;
}

void CString::Format(const char* format, ...)
{
    RequireText(format);
    char buffer[kFormatBufferSize];
    va_list args;
    va_start(args, format);
    // vsnprintf cuts an over-long result instead of writing past the buffer.
    const int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (written < 0) buffer[0] = '\0';
    *this = buffer;
}

void CString::Reserve(size_t n)
{
    if (m_capacity >= n && m_text) return;
    std::free(m_text);
    m_text = nullptr;
    m_capacity = 0;
    if (n == static_cast<size_t>(-1)) throw E_OUTOFMEMORY;
    m_text = static_cast<char*>(std::malloc(n + 1));
    if (!m_text) throw E_OUTOFMEMORY;
    m_text[0] = '\0';
    m_capacity = n;
}

void CString::Assign(const char* text, size_t length)
{
    RequireText(text);
    if (length == 0 && !m_text) return; // stays the empty string without allocating
    // text may point into our own buffer; it then fits and Reserve keeps it.
    Reserve(length);
    std::memmove(m_text, text, length);
    m_text[length] = '\0';
}

void CString::Append(const char* text, size_t length)
{
    if (length == 0) return;
    const size_t oldLength = GetLength();
    if (length > m_capacity - oldLength) {
        if (length >= static_cast<size_t>(-1) - oldLength) throw E_OUTOFMEMORY;
        const size_t newLength = oldLength + length;
        char* grown = static_cast<char*>(std::malloc(newLength + 1));
        if (!grown) throw E_OUTOFMEMORY;
        std::memcpy(grown, GetString(), oldLength);
        // Copied before the old buffer goes, in case text points into it.
        std::memcpy(grown + oldLength, text, length);
        grown[newLength] = '\0';
        std::free(m_text);
        m_text = grown;
        m_capacity = newLength;
        return;
    }
    std::memmove(m_text + oldLength, text, length);
    m_text[oldLength + length] = '\0';
}
