#include "sepa/StaleTemporaryFiles.h"

#include "sepa/TemporaryFileName.h"

#include "common/UniqueResource.h"

void RemoveStaleTemporaryFiles(const std::wstring& folder, CFileOperations& operations)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileExW(
        (folder + kTemporaryFilePattern).c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return;
    const UniqueResource<HANDLE, &FindClose> closeOnReturn(search);
    do {
        const std::optional<RunningProcess> maker = TemporaryFileMaker(found.cFileName);
        if (!maker || IsStillRunning(*maker)) continue;
        // Through a handle that no one else may share for deletion: a file someone still has
        // open without allowing that stays.
        const HANDLE file = operations.OpenToRemove(folder + found.cFileName);
        if (file == INVALID_HANDLE_VALUE) continue;
        FileFacts facts;
        if (operations.FactsOf(file, facts) && facts.regularFile) operations.Remove(file);
        operations.Close(file);
    } while (FindNextFileW(search, &found));
}
