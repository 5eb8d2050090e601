#pragma once
// Paths at which no file can be written: a device, reached by its reserved name in any folder
// (NUL, CON, PRN, AUX, COM1-COM9, LPT1-LPT9, with or without an extension) or through the
// device namespace (\\.\…), and names that select a stream inside a file.
#include <string>

// fullPath is an absolute path as GetFullPathNameW gives it.
bool NamesDevice(const std::wstring& fullPath);
