#pragma once

// The host's data folder, shared by all users of the machine (Windows only):
// <common application data>\TAVRIN\Tavrin EBanking, without a trailing
// backslash. The folder is neither created nor tested here.

#include <windows.h>

// The process-wide path; the pointer stays valid for the life of the process.
// Empty while the shell cannot name the common application data folder, in
// which case the next call asks again. Not thread-safe.
const char* GetDataFolder();

// The caching behind GetDataFolder, with the shell query passed in.
class CDataFolderCache {
public:
    // Fills a MAX_PATH buffer with the common application data folder.
    typedef bool (*FolderQuery)(char* path);

    constexpr explicit CDataFolderCache(FolderQuery query) : m_query(query), m_path{}, m_ready(false) {}

    const char* Get();

private:
    FolderQuery m_query;
    char m_path[MAX_PATH];
    bool m_ready;
};
