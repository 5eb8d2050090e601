#include "settings/DataFolder.h"

#include "common/FileNames.h"

#include <shlobj.h>
#include <shlwapi.h>

namespace {
bool QueryCommonAppData(char* path)
{
    return SHGetSpecialFolderPathA(nullptr, path, CSIDL_COMMON_APPDATA, FALSE) != FALSE;
}

CDataFolderCache g_dataFolder(&QueryCommonAppData);
}

const char* CDataFolderCache::Get()
{
    if (m_ready) return m_path;
    // Neither a failed query nor a path too long to extend may leave a
    // partial path behind for the caller to build file names on.
    if (!m_query(m_path) || !PathAppendA(m_path, kHostDataSubfolder)) {
        m_path[0] = '\0';
        return m_path;
    }
    m_ready = true;
    return m_path;
}

const char* GetDataFolder() { return g_dataFolder.Get(); }
