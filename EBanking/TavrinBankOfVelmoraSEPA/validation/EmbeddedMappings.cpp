#include "validation/EmbeddedMappings.h"

#include <algorithm>
#include <stdexcept>

#include "common/ResourceModule.h"
#include "resources/resource.h"
#include "validation/CharacterMap.h"

namespace {
const char kResourceName[] = "ID_MAPPINGS";
}

std::string LoadEmbeddedMappingBytes(HMODULE module)
{
    std::string_view bytes;
    switch (
        FindResourceBytes(module, "MAPPINGS_FILE", ID_MAPPINGS, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK), bytes)) {
    case ResourceLookup::NotFound:
        throw std::runtime_error(std::string("Could not find Embedded Resource: ") + kResourceName + ".");
    case ResourceLookup::NotLoaded:
        throw std::runtime_error(std::string("Could not load Embedded Resource: ") + kResourceName + ".");
    case ResourceLookup::Found: break;
    }
    return std::string(bytes);
}

std::istringstream ReadEmbeddedMappings()
{
    std::string text = LoadEmbeddedMappingBytes(ResourceModule());
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return std::istringstream(text);
}

CCharacterMap::CCharacterMap(const char* overridePath) : CCharacterMap(overridePath, &ReadEmbeddedMappings) {}
