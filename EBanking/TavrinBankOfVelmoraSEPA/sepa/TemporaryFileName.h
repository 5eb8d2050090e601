#pragma once
// The names of the files a writing run keeps beside its target until the move:
// "~sepa-" process id "-" process start time "-" number, in hex, then ".tmp" for the file being
// written, or ".replaced" for the file it is about to replace. The process id with its start
// time names the run that made a file, even after Windows has given the id to another process.
#include <windows.h>

#include <optional>
#include <string>

struct RunningProcess {
    DWORD id = 0;
    ULONGLONG startTime = 0; // FILETIME units
};

// This process.
RunningProcess CurrentProcess();

// The name of this process's temporary file with the given number; each call gives a new one.
std::wstring NextTemporaryFileName(const RunningProcess& process);
// The name under which the file being replaced waits until the new one has taken its place.
std::wstring NextSetAsideFileName(const RunningProcess& process);
// What FindFirstFile matches the temporary file names with; also matches others.
extern const wchar_t kTemporaryFilePattern[];

// The process that made a temporary file of this name; nothing for any other name.
std::optional<RunningProcess> TemporaryFileMaker(const std::wstring& name);

// False once the process has ended, its id was given to another, or it never was; true also
// when Windows does not let this process look at it.
bool IsStillRunning(const RunningProcess& process);
