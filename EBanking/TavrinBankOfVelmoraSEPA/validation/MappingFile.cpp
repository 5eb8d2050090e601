#include "validation/MappingFile.h"

#include <cstdio>
#include <memory>

#ifdef _WIN32
#include <share.h>
#endif

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
typedef std::unique_ptr<std::FILE, FileCloser> FilePtr;

FilePtr OpenShared(const char* path)
{
#ifdef _WIN32
    return FilePtr(_fsopen(path, "rb", _SH_DENYNO));
#else
    return FilePtr(std::fopen(path, "rb"));
#endif
}

std::string TranslateTextMode(const std::string& raw)
{
    std::string text;
    text.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\x1A') break;
        if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue; // the LF that follows is kept
        text += c;
    }
    return text;
}
}

bool ReadOverrideFile(const char* path, std::string& text)
{
    text.clear();
    FilePtr file = OpenShared(path);
    if (!file) return false;

    std::string raw;
    char chunk[4096];
    size_t count;
    while ((count = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
        raw.append(chunk, count);
    // A read error (or a directory opened as a file) counts as unopenable
    // rather than as an empty table that would let every character through.
    if (std::ferror(file.get())) return false;

    text = TranslateTextMode(raw);
    return true;
}
