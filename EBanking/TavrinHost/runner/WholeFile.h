#pragma once
// Reads and writes a whole file through a handle that closes itself.
#include <string>

namespace tavrin_host {

// Throws std::runtime_error naming what when the file cannot be opened.
std::string ReadWholeFile(const std::wstring& path, const char* what);
// False when the file cannot be created or not every byte is written.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);

} // namespace tavrin_host
