#pragma once

// The mapping table carried in the module's resources (Windows only).

#include <windows.h>

#include <sstream>
#include <string>

// The resource's bytes as stored in module. Throws std::runtime_error with
// "Could not find Embedded Resource: ID_MAPPINGS." or
// "Could not load Embedded Resource: ID_MAPPINGS.".
std::string LoadEmbeddedMappingBytes(HMODULE module);

// The component's own table with its carriage returns removed, ready for
// ReadMappingLines.
std::istringstream ReadEmbeddedMappings();
