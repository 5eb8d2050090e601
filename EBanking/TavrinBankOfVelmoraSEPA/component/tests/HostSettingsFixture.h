#pragma once
// Gives tests control of the host's bank settings server, the same instance COM loads.
#include "ComTestSupport.h"
#include "HostSettingsControl.h"

#include <windows.h>

#include <string>

class HostSettingsControl {
public:
    HostSettingsControl()
    {
        m_module = LoadLibraryW(L"TavrinHostSettings.dll");
        if (m_module) {
            m_configure = testsupport::ProcAddress<HostSettingsConfigureFn>(m_module, "TavrinHostSettings_Configure");
            m_read = testsupport::ProcAddress<HostSettingsReadCallsFn>(m_module, "TavrinHostSettings_ReadCalls");
        }
    }
    HostSettingsControl(const HostSettingsControl&) = delete;
    HostSettingsControl& operator=(const HostSettingsControl&) = delete;
    ~HostSettingsControl()
    {
        Configure(nullptr, HOST_SETTINGS_OK);
        if (m_module) FreeLibrary(m_module);
    }
    bool Loaded() const { return m_configure && m_read; }
    void Configure(const char* directory, DWORD faults)
    {
        if (m_configure) m_configure(directory, faults);
    }
    HostSettingsCalls Calls() const
    {
        HostSettingsCalls calls = {};
        if (m_read) m_read(&calls);
        return calls;
    }

private:
    HMODULE m_module = nullptr;
    HostSettingsConfigureFn m_configure = nullptr;
    HostSettingsReadCallsFn m_read = nullptr;
};
