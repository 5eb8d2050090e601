#pragma once

#include "sepa/CalendarTime.h"

#include <cstddef>
#include <string>

// Size of the path buffers of the file functions, terminator included
// (MAX_PATH): a usable path has at most kMaxPathSize - 1 characters.
constexpr std::size_t kMaxPathSize = 260;

// directory + "\" + name, leaving out the "\" when the directory already
// ends with one. An empty directory still gets the "\".
std::string JoinPath(const std::string& directory, const std::string& name);

// True when the path and its terminator fit in a MAX_PATH buffer.
bool FitsInPathBuffer(const std::string& path);

// True for the search pattern of the first floppy drive's root, "A:\*.*",
// in either letter case. That root counts as present even when a search in
// it finds nothing, so that an empty or absent disk is not reported.
bool IsFloppyRootPattern(const std::string& pattern);

// Text of the message shown when the default payment directory is unusable.
std::string FormatInvalidDirectoryMessage(const std::string& directory, const std::string& fallbackFolder);

// What building the default output path needs from the system.
class IDefaultPathPlatform {
public:
    virtual ~IDefaultPathPlatform() = default;

    // The current time of the system clock in UTC.
    virtual CalendarTime CurrentUtcTime() = 0;

    // True when a file search with this pattern finds at least one entry.
    virtual bool SearchFindsEntry(const std::string& pattern) = 0;

    // The folder used when the default directory is unusable: the user's
    // documents folder, or "C:\" when that cannot be found.
    virtual std::string FallbackFolder() = 0;

    // Tells the user that the default directory is unusable.
    virtual void ShowInvalidDirectoryMessage(const std::string& text) = 0;
};

// Builds the full path of this run's output file into buffer: the directory
// (or, after a message, the fallback folder when the directory cannot be
// found or is too long for a path), the time-stamped file name, "." and
// the extension. Returns false, leaving an empty string when the buffer has
// room for one, when the clock gives no usable time or the path does not
// fit in bufferSize.
bool BuildDefaultOutputPath(IDefaultPathPlatform& platform, const char* directory, const char* extension, char* buffer,
                            std::size_t bufferSize);
