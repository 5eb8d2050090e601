#pragma once
// Names the payment file a run wrote from the path the dialog held, as Windows resolves it.
#include <windows.h>

#include <string>

namespace tavrin_host {

// The full path the component writes for the save field's text: the field is read as ANSI
// text and stored without leading or trailing blanks, and Windows resolves it against the
// current folder, dropping trailing dots and spaces from the name. Empty for an empty field.
std::wstring ResolveSavePath(const std::wstring& fieldText);

// True when path names a file (not a folder) last written at or after start.
bool WrittenSince(const std::wstring& path, const FILETIME& start);

// The Unix path of a Windows path under Wine: Z: is the Unix root; other drives go through
// Wine's own mapping (the prefix's dosdevices). Empty outside Wine or when Wine has none.
std::string UnixPathOf(const std::wstring& windowsPath);

} // namespace tavrin_host
