#pragma once

// Character classes of narrow text, ASCII only: bytes of 0x80 and above, in whatever code page,
// belong to none of them and are never changed by the case conversions. Unlike <cctype> these
// take a plain char, negative or not, and do not depend on the C locale.

namespace ascii {
// Space and tab.
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Space, tab, line feed, vertical tab, form feed and carriage return.
constexpr bool IsSpace(char c) { return IsBlank(c) || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A to Z in either case.
constexpr bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

constexpr bool IsAlphanumeric(char c) { return IsLetter(c) || IsDigit(c); }

// 0 to 15 for a hexadecimal digit of either case, -1 for anything else.
constexpr int HexDigitValue(char c)
{
    return IsDigit(c) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
}

constexpr char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

constexpr char ToLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
} // namespace ascii
