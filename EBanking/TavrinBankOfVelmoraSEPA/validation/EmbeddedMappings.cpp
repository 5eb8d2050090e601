#include "validation/EmbeddedMappings.h"

#include <algorithm>
#include <stdexcept>

#include "common/ResourceModule.h"
#include "resources/resource.h"
#include "validation/CharacterMap.h"

namespace
{
const char kResourceName[] = "ID_MAPPINGS";
}

std::string LoadEmbeddedMappingBytes(HMODULE module)
{
    const HRSRC info = FindResourceExA(module, "MAPPINGS_FILE", MAKEINTRESOURCEA(ID_MAPPINGS),
                                       MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK));
    if (!info)
        throw std::runtime_error(std::string("Could not find Embedded Resource: ") + kResourceName + ".");
    const HGLOBAL handle = LoadResource(module, info);
    const void* data = handle ? LockResource(handle) : nullptr;
    if (!data)
        throw std::runtime_error(std::string("Could not load Embedded Resource: ") + kResourceName + ".");
    return std::string(static_cast<const char*>(data), SizeofResource(module, info));
}

std::istringstream ReadEmbeddedMappings()
{
    std::string text = LoadEmbeddedMappingBytes(ResourceModule());
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return std::istringstream(text);
}

CCharacterMap::CCharacterMap(const char* overridePath)
    : CCharacterMap(overridePath, &ReadEmbeddedMappings)
{
}
