#pragma once
// A text value of a host payment, held compactly: its UTF-16 units sit in a place the payment
// gives it, mostly a part of the one buffer that holds all the payment's values, and a value
// that outgrows its place gets storage of its own. Reads as a std::wstring where one is needed.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace tavrin_host {

class HostText {
public:
    HostText() : m_room(0), m_owned(0) {}
    ~HostText() { Release(); }
    HostText(const HostText&) = delete;
    HostText& operator=(const HostText&) = delete;

    // Replaces the value, in its place when it fits there. Throws std::bad_alloc.
    HostText& operator=(std::wstring_view value);
    // Takes the size units at place, which outlives this text, as its value, held there.
    void Hold(wchar_t* place, size_t size);

    std::wstring_view View() const { return std::wstring_view(m_units, m_size); }
    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    operator std::wstring() const { return std::wstring(View()); }

private:
    void Release();

    wchar_t* m_units = nullptr;
    uint32_t m_size = 0;
    uint32_t m_room : 31; // units that fit in the place
    uint32_t m_owned : 1; // whether the place is this text's own storage
};

inline bool operator==(const HostText& text, std::wstring_view other) { return text.View() == other; }
inline bool operator==(std::wstring_view other, const HostText& text) { return text.View() == other; }
inline bool operator!=(const HostText& text, std::wstring_view other) { return text.View() != other; }
inline bool operator!=(std::wstring_view other, const HostText& text) { return text.View() != other; }

// Shows the value in a failed test's message.
void PrintTo(const HostText& text, std::ostream* out);

} // namespace tavrin_host
