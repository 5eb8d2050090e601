#pragma once
#include <cstddef>

// The default path of the payment file: its time-stamped name in the host's default payment
// directory, written into fullPath (fullPathSize bytes, always terminated).
void BuildDefaultOutputPath(const char* defaultDirectory, char* fullPath, size_t fullPathSize);
