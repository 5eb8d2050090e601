#pragma once
// Test controls of the host stand-in's bank settings server, exported by TavrinHostSettings.dll.
// Tests load the DLL (the same instance COM uses) and call these to configure answers and
// faults, and to read what the component asked of it.
#include <windows.h>

enum HostSettingsFault : DWORD {
    HOST_SETTINGS_OK = 0,
    HOST_SETTINGS_FAIL_CREATE = 1, // the class is "not registered"
    HOST_SETTINGS_FAIL_GET = 2,    // GetBankSettings fails
    HOST_SETTINGS_FAIL_EDIT = 4,   // EditBankSettings fails
};

struct HostSettingsCalls {
    LONG getCalls;
    LONG editCalls;
    LONG lastEditMode;
    char lastGetBankName[1024];  // the bank name GetBankSettings was last asked with
    char lastEditBankName[1024]; // and EditBankSettings
    LONG liveObjects;
};

extern "C" {
typedef void(WINAPI* HostSettingsConfigureFn)(const char* paymentDirectory, DWORD faults);
typedef void(WINAPI* HostSettingsReadCallsFn)(HostSettingsCalls* calls);
}
