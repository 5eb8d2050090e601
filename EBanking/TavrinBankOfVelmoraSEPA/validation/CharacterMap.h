#pragma once

// Transliteration into the SEPA character set through a table of UTF-16
// code units. The table text has one "U+XXXX,U+YYYY" line per character;
// a replacement of 0 deletes the character, and a character without an
// entry stays. The DLL carries the table as a resource; a file of the same
// format in the host's data folder replaces it entirely.

#include <cstdint>
#include <functional>
#include <istream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

typedef std::map<std::uint16_t, std::uint16_t> MappingTable;

// Reads one field: its first two characters (the "U+") are dropped and the
// rest is read as strtoul(..., 16) reads it with a 32-bit unsigned long
// (blanks, sign and 0x prefix accepted, no digits give 0, overflow gives
// all bits set). Only the low 16 bits count.
std::uint16_t ParseMappingCode(const std::string& field);

// Adds the stream's "key,replacement" lines to the table in order, a later
// line for the same key replacing the earlier one. Fields shorter than two
// characters add nothing, so "U+0041," keeps A unchanged.
void ReadMappingLines(std::istream& in, MappingTable& table);

class CCharacterMap {
public:
    typedef std::function<std::istringstream()> EmbeddedSource;

    // Reads the override file when it can be opened; otherwise the table
    // that embedded() returns, whose exceptions pass through.
    CCharacterMap(const char* overridePath, const EmbeddedSource& embedded);
#ifdef _WIN32
    // Falls back on the table embedded in the module's resources.
    explicit CCharacterMap(const char* overridePath);
#endif

    // Maps every code unit once, deleting those that map to 0. Control
    // characters (below U+0020) that the table leaves or produces become
    // spaces, as no file may carry them.
    void Transliterate(std::wstring& text) const;

    const MappingTable& Table() const { return m_table; }

private:
    // What each code unit up to the table's highest key becomes, controls already turned into
    // spaces; 0 deletes it. Built once from the table, so that the many characters of a batch
    // are looked up directly.
    void BuildOutputs();

    MappingTable m_table;
    std::vector<std::uint16_t> m_outputs;
};
