#pragma once

// The shipped mapping table for tests: the linked resource on Windows, the
// committed CSV file (MAPPINGS_CSV_PATH) in native builds.

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>

#include "validation/CharacterMap.h"

#ifdef _WIN32
#include "common/ResourceModule.h"
#include "validation/EmbeddedMappings.h"

inline std::string EmbeddedTableBytes() { return LoadEmbeddedMappingBytes(ResourceModule()); }

inline std::istringstream EmbeddedTableText() { return ReadEmbeddedMappings(); }
#else
inline std::string EmbeddedTableBytes()
{
    std::ifstream file(MAPPINGS_CSV_PATH, std::ios::binary);
    if (!file) throw std::runtime_error("cannot open " MAPPINGS_CSV_PATH);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline std::istringstream EmbeddedTableText()
{
    std::string text = EmbeddedTableBytes();
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return std::istringstream(text);
}
#endif

// A map built from the shipped table, as when no override file exists.
inline CCharacterMap EmbeddedMap() { return CCharacterMap(nullptr, &EmbeddedTableText); }
