#pragma once

#include <string>

// Reads the mapping override file as Windows text mode would: CR LF pairs
// become LF and a Ctrl+Z ends the text. The file is opened shared, so an
// editor holding it open does not stop the read. False when the file cannot
// be opened or read; text is then left empty.
bool ReadOverrideFile(const char* path, std::string& text);
