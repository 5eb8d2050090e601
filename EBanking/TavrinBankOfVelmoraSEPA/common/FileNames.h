#pragma once
// The names of the files and folders that the component reads and writes, kept as rows in
// common/FileNames.inc.

#define SEPA_FILE_NAME(name, text) inline constexpr char name[] = text;
#include "common/FileNames.inc"
#undef SEPA_FILE_NAME
