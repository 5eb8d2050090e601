// Transliteration of arbitrary UTF-16 text, through the shipped table or through a table read
// from the input. Whatever the table, the output holds no control character, only characters
// that the table produces, characters the table has no entry for, and spaces; it is one
// character shorter for each deleted one; and each code unit is mapped on its own, so the
// text may be split anywhere and its halves mapped apart.
//
// Input: a mode byte, a split byte, then with the shipped table the text as little-endian
// code units; with a table from the input, a length byte and that many bytes of table text
// before the code units.

#include <cstdint>
#include <set>
#include <sstream>
#include <string>

#include "FuzzCheck.h"
#include "validation/CharacterMap.h"
#include "validation/tests/EmbeddedTable.h"

namespace {
const CCharacterMap* g_shipped = nullptr;

// The SEPA character set: what the shipped table may produce.
bool IsSepaCharacter(std::uint16_t c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           (c < 0x80 && std::string(" /-?:().,'+").find(static_cast<char>(c)) != std::string::npos);
}

std::wstring Mapped(const CCharacterMap& map, std::wstring text)
{
    map.Transliterate(text);
    return text;
}

void CheckTransliteration(const CCharacterMap& map, const std::wstring& text, size_t split)
{
    const MappingTable& table = map.Table();
    std::set<std::uint16_t> produced;
    size_t deletions = 0;
    for (const auto& entry : table)
        if (entry.second != 0) produced.insert(entry.second);
    std::set<std::uint16_t> unmapped;
    for (const wchar_t unit : text) {
        const auto entry = table.find(static_cast<std::uint16_t>(unit));
        if (entry == table.end())
            unmapped.insert(static_cast<std::uint16_t>(unit));
        else if (entry->second == 0)
            ++deletions;
    }

    const std::wstring result = Mapped(map, text);
    FUZZ_CHECK(result.size() == text.size() - deletions);
    for (const wchar_t unit : result) {
        const std::uint16_t code = static_cast<std::uint16_t>(unit);
        FUZZ_CHECK(static_cast<std::uint32_t>(unit) == code);
        FUZZ_CHECK(code >= 0x20);
        FUZZ_CHECK(code == 0x20 || produced.count(code) || unmapped.count(code));
    }

    if (split > text.size()) split = text.size();
    FUZZ_CHECK(Mapped(map, text.substr(0, split)) + Mapped(map, text.substr(split)) == result);
}
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static const CCharacterMap shipped = EmbeddedMap();
    // A table that failed to load would make every check below pass trivially.
    FUZZ_CHECK(shipped.Table().size() > 1000);
    for (const auto& entry : shipped.Table())
        FUZZ_CHECK(IsSepaCharacter(entry.second));
    g_shipped = &shipped;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    const bool ownTable = data[0] & 1;
    const size_t split = data[1];
    size_t pos = 2;

    std::string tableText;
    if (ownTable && pos < size) {
        const size_t length = data[pos++];
        const size_t available = size - pos < length ? size - pos : length;
        tableText.assign(reinterpret_cast<const char*>(data + pos), available);
        pos += available;
    }

    std::wstring text;
    for (; pos + 1 < size; pos += 2)
        text += static_cast<wchar_t>(data[pos] | (data[pos + 1] << 8));

    if (ownTable) {
        const CCharacterMap map(nullptr, [&tableText] { return std::istringstream(tableText); });
        CheckTransliteration(map, text, split);
    } else {
        CheckTransliteration(*g_shipped, text, split);
        // Every character the shipped table knows comes out in the SEPA set.
        const std::wstring result = Mapped(*g_shipped, text);
        size_t i = 0;
        for (const wchar_t unit : text) {
            if (g_shipped->Table().count(static_cast<std::uint16_t>(unit)))
                FUZZ_CHECK(IsSepaCharacter(static_cast<std::uint16_t>(result[i])));
            ++i;
        }
    }
    return 0;
}
