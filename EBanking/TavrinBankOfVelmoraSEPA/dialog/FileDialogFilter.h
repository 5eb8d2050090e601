#pragma once

#include <string>

// The Save As dialog's filter for files with `extension` (without the dot):
// description and pattern pairs, each ended by a NUL, with one more NUL after
// the last pair. An empty extension offers all files only.
std::string FileDialogFilter(const std::string& extension);
