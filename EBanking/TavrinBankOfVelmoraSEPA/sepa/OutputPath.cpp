#include "sepa/OutputPath.h"

#include "common/AsciiChars.h"
#include "common/MessageBoxes.h"
#include "common/TextTemplate.h"
#include "sepa/OutputFileName.h"

#include <cstring>

namespace {
const char kSeparator = '\\';
const char kFloppyRootPattern[] = "a:\\*.*";
const char kLastResortFolder[] = "C:\\";

// The directory is usable when the complete file path fits in a path buffer
// (the search pattern is shorter, so it fits too) and a search in it finds
// something: every folder but a drive root holds its own "." entry.
bool IsUsableDirectory(IDefaultPathPlatform& platform, const std::string& directory, const std::string& fileName)
{
    if (!FitsInPathBuffer(JoinPath(directory, fileName))) return false;
    const std::string pattern = JoinPath(directory, "*.*");
    return IsFloppyRootPattern(pattern) || platform.SearchFindsEntry(pattern);
}

bool CopyToBuffer(const std::string& text, char* buffer, std::size_t bufferSize)
{
    if (text.size() >= bufferSize) {
        buffer[0] = '\0';
        return false;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}
}

std::string JoinPath(const std::string& directory, const std::string& name)
{
    if (!directory.empty() && directory.back() == kSeparator) return directory + name;
    return directory + kSeparator + name;
}

bool FitsInPathBuffer(const std::string& path) { return path.size() < kMaxPathSize; }

bool IsFloppyRootPattern(const std::string& pattern)
{
    if (pattern.size() != sizeof kFloppyRootPattern - 1) return false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (ascii::ToLower(pattern[i]) != kFloppyRootPattern[i]) return false;
    }
    return true;
}

std::string FormatInvalidDirectoryMessage(const std::string& directory, const std::string& fallbackFolder)
{
    return FillTemplate(kInvalidDefaultPathBox.text, {{"directory", directory}, {"fallbackFolder", fallbackFolder}});
}

bool BuildDefaultOutputPath(IDefaultPathPlatform& platform, const char* directory, const char* extension, char* buffer,
                            std::size_t bufferSize)
{
    if (buffer == nullptr || bufferSize == 0) return false;
    buffer[0] = '\0';

    char name[kOutputFileNameLength + 1];
    if (!FormatOutputFileName(platform.CurrentUtcTime(), name, sizeof name)) return false;
    const std::string fileName = std::string(name) + "." + (extension != nullptr ? extension : "");

    const std::string givenDirectory = directory != nullptr ? directory : "";
    if (IsUsableDirectory(platform, givenDirectory, fileName))
        return CopyToBuffer(JoinPath(givenDirectory, fileName), buffer, bufferSize);

    // A documents folder too deep for the file name leaves the drive root.
    std::string fallback = platform.FallbackFolder();
    if (!FitsInPathBuffer(JoinPath(fallback, fileName))) fallback = kLastResortFolder;
    platform.ShowInvalidDirectoryMessage(FormatInvalidDirectoryMessage(givenDirectory, fallback));
    return CopyToBuffer(JoinPath(fallback, fileName), buffer, bufferSize);
}
