#include "validation/CharacterMap.h"

#include <algorithm>

#include "validation/MappingFile.h"

#include "common/AsciiChars.h"

using ascii::HexDigitValue;

std::uint16_t ParseMappingCode(const std::string& field)
{
    const size_t end = field.size();
    size_t i = end < 2 ? end : 2;
    auto at = [&](size_t k) { return k < end ? field[k] : '\0'; };

    while (i < end && ascii::IsSpace(field[i]))
        ++i;
    bool negative = false;
    if (at(i) == '+' || at(i) == '-') {
        negative = at(i) == '-';
        ++i;
    }
    if (at(i) == '0' && (at(i + 1) == 'x' || at(i + 1) == 'X') && HexDigitValue(at(i + 2)) >= 0) i += 2;

    // Computed in 32 bits whatever the platform's unsigned long, so that
    // native builds read over-long codes as the product does.
    std::uint32_t value = 0;
    bool overflow = false;
    for (int digit; (digit = HexDigitValue(at(i))) >= 0; ++i) {
        if (value > (UINT32_MAX - static_cast<std::uint32_t>(digit)) / 16)
            overflow = true;
        else
            value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    if (overflow)
        value = UINT32_MAX;
    else if (negative)
        value = 0u - value;
    return static_cast<std::uint16_t>(value & 0xFFFFu);
}

void ReadMappingLines(std::istream& in, MappingTable& table)
{
    std::string key;
    std::string replacement;
    while (in.good()) {
        // The key runs to the first comma, across line ends if need be.
        std::getline(in, key, ',');
        if (!in.good()) break;
        // A last line without a line feed still counts.
        std::getline(in, replacement);
        if (key.size() >= 2 && replacement.size() >= 2) table[ParseMappingCode(key)] = ParseMappingCode(replacement);
    }
}

CCharacterMap::CCharacterMap(const char* overridePath, const EmbeddedSource& embedded)
{
    std::string overrideText;
    if (overridePath && ReadOverrideFile(overridePath, overrideText)) {
        std::istringstream in(overrideText);
        ReadMappingLines(in, m_table);
    } else {
        std::istringstream in = embedded();
        ReadMappingLines(in, m_table);
    }
    BuildOutputs();
}

void CCharacterMap::BuildOutputs()
{
    // Tabs, line breaks and other controls are not allowed in the file, whether the text
    // brings them or the table makes them; a space keeps the words apart. So no control is
    // ever an output, and 0 is free to mean a deletion.
    const auto withoutControls = [](std::uint32_t unit) {
        return static_cast<std::uint16_t>(unit < 0x20u ? 0x20u : unit);
    };
    // Up to the highest key: a unit above it has no entry and stays as it is.
    const std::uint32_t units = m_table.empty() ? 0x20u : std::max(0x20u, m_table.rbegin()->first + 1u);
    m_outputs.resize(units);
    for (std::uint32_t unit = 0; unit < units; ++unit)
        m_outputs[unit] = withoutControls(unit);
    for (const auto& entry : m_table)
        m_outputs[entry.first] = entry.second == 0 ? 0 : withoutControls(entry.second);
}

void CCharacterMap::Transliterate(std::wstring& text) const
{
    // Every code unit is mapped on its own and a replacement is never mapped again, so one
    // forward pass that moves the kept units to the front gives the same result as editing
    // from the back.
    size_t kept = 0;
    for (const wchar_t unit : text) {
        const std::uint32_t code = static_cast<std::uint32_t>(unit);
        const wchar_t out = code < m_outputs.size() ? static_cast<wchar_t>(m_outputs[code]) : unit;
        if (out != 0) text[kept++] = out;
    }
    text.resize(kept);
}
