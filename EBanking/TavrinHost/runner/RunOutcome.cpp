#include "RunOutcome.h"

#include "WholeFile.h"

#include <windows.h>

#include <string>
#include <vector>

namespace tavrin_host {

const wchar_t kOutcomeVariable[] = L"TAVRIN_HOST_OUTCOME";

void RecordOutcome(int exitStatus)
{
    const DWORD length = GetEnvironmentVariableW(kOutcomeVariable, nullptr, 0);
    if (length == 0) return;
    std::vector<wchar_t> path(length);
    if (GetEnvironmentVariableW(kOutcomeVariable, path.data(), length) != length - 1) return;
    // Unwritten, the wrapper reports a run without outcome: nothing more to do here.
    WriteWholeFile(path.data(), "exit " + std::to_string(exitStatus) + "\n");
}

} // namespace tavrin_host
