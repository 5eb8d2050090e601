#include "sepa/OutputFileLocation.h"

#include <windows.h>

#include <cstdio>

// Interim naming: the time-stamped name in the host's directory, without checks.
void BuildDefaultOutputPath(const char* defaultDirectory, char* fullPath, size_t fullPathSize)
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    std::snprintf(fullPath, fullPathSize, "%s\\BOV%04u%02u%02u%02u%02u%02uPAIN001.xml", defaultDirectory,
                  now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}
