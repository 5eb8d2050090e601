#pragma once
// Reads and writes a whole file through a handle that closes itself.
#include "ByteSink.h"

#include <string>

namespace tavrin_host {

// Throws std::runtime_error naming what when the file cannot be opened or read, or is not a
// regular file (a folder, a device or a pipe, which may never end).
std::string ReadWholeFile(const std::wstring& path, const char* what);
// False when the file cannot be created or not every byte is written.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
// Writes a new file in the same folder, with the pieces that write hands to its sink, and puts it
// in the place of path only once every byte is on disk, so that a failed write leaves whatever
// file path held. False when that failed, or when write returned false.
bool ReplaceWholeFile(const std::wstring& path, const std::function<bool(const ByteSink& sink)>& write);

} // namespace tavrin_host
