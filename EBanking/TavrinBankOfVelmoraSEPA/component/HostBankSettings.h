#pragma once
// The host's bank settings object, reached through calls that raise a COM error when the host
// answers a failure: the payment run and the bank object must not lose those failures.
#include "TavrinEBanking.h"

#include <comdef.h>

_COM_SMARTPTR_TYPEDEF(IBankSettings, __uuidof(IBankSettings));

extern const CLSID CLSID_HostBankSettings;

class HostBankSettings {
public:
    // The sizes of the buffers the host writes its answers into.
    static constexpr size_t kPathBufferSize = 1024;
    static constexpr size_t kExtensionBufferSize = 4;

    // Creates the host's settings object in any server context the host registered it for.
    // An object that cannot be created leaves the wrapper empty; the first call then raises
    // E_POINTER.
    HostBankSettings();

    // directory and fileName hold kPathBufferSize bytes, extension kExtensionBufferSize; each
    // answer ends within its buffer.
    void GetBankSettings(const char* bankName, char* fileName, char* extension, char* directory);
    void EditBankSettings(const char* bankName, long mode);

private:
    IBankSettingsPtr m_settings;
};
