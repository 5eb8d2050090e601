#include "HostText.h"

#include <cstdio>
#include <cwchar>
#include <new>
#include <ostream>

namespace tavrin_host {

HostText& HostText::operator=(std::wstring_view value)
{
    if (value.size() > m_room) {
        if (value.size() > 0x7FFFFFFF) throw std::bad_alloc();
        wchar_t* own = new wchar_t[value.size()];
        // The value may be a part of the one it replaces.
        std::wmemcpy(own, value.data(), value.size());
        Release();
        m_units = own;
        m_room = static_cast<uint32_t>(value.size());
        m_owned = 1;
    } else if (!value.empty()) {
        std::wmemmove(m_units, value.data(), value.size());
    }
    m_size = static_cast<uint32_t>(value.size());
    return *this;
}

void HostText::Hold(wchar_t* place, size_t size)
{
    Release();
    m_units = place;
    m_size = m_room = static_cast<uint32_t>(size);
}

void HostText::Release()
{
    if (m_owned) delete[] m_units;
    m_units = nullptr;
    m_size = m_room = m_owned = 0;
}

void PrintTo(const HostText& text, std::ostream* out)
{
    *out << "L\"";
    for (wchar_t c : text.View()) {
        if (c >= 0x20 && c < 0x7F && c != L'"' && c != L'\\') {
            *out << static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%04X", static_cast<unsigned>(c));
            *out << escaped;
        }
    }
    *out << '"';
}

} // namespace tavrin_host
