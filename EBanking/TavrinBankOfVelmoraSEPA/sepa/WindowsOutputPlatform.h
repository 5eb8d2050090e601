#pragma once

#include "sepa/OutputPath.h"
#include "sepa/RedirectNotice.h"

#include <cstddef>
#include <string>

// The Windows implementation of the two platform interfaces of the output
// file, IDefaultPathPlatform (OutputPath.h) and IRedirectPlatform
// (RedirectNotice.h). Tests derive from it to replace single calls, such as
// the clock or the elevation test, and keep the rest.
class CWindowsOutputPlatform : public IDefaultPathPlatform, public IRedirectPlatform {
public:
    CalendarTime CurrentUtcTime() override;
    bool SearchFindsEntry(const std::string& pattern) override;
    // Looked up once per process.
    std::string FallbackFolder() override;
    void ShowInvalidDirectoryMessage(const std::string& text) override;

    bool IsFixedDrive(const std::string& driveRoot) override;
    bool IsProcessElevated() override;
    std::string LocalAppDataFolder() override;
    bool CanOpenExistingFile(const std::string& path) override;
    bool AskToOpenFolder(const std::string& text) override;
    void OpenFolder(const std::string& folder) override;
};

// The default path of this run's output file (the time-stamped name in the
// host's default payment directory or its fallback, with "." + extension),
// built with the real clock, folders and message box. False, with an empty
// string in buffer, when no path could be built.
bool BuildDefaultOutputPath(const char* directory, const char* extension, char* buffer, std::size_t bufferSize);

// Tells the user, and opens the folder on request, when Windows stored the
// file just written at path in the virtual store instead.
void CheckForRedirectedFile(const char* path);
