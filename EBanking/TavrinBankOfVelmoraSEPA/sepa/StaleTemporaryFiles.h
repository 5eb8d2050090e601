#pragma once
// Temporary files of runs that were ended before they could remove them.
#include "sepa/FileOperations.h"

#include <string>

// Deletes the writer's temporary files in folder (which ends in a separator) whose process has
// ended; a running process's files, and every other file, stay as they are.
void RemoveStaleTemporaryFiles(const std::wstring& folder, CFileOperations& operations);
