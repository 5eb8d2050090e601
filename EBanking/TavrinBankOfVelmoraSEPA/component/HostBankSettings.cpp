#include "component/HostBankSettings.h"

#include <ole2.h>

#include <cstring>

const CLSID CLSID_HostBankSettings = {0x0BE0D1E2, 0x5E1E, 0x11D4, {0x9A, 0x80, 0x00, 0xA0, 0xCC, 0x5F, 0xF3, 0x3D}};

namespace {

_COM_SMARTPTR_TYPEDEF(IUnknown, __uuidof(IUnknown));

// In-process server and handler, local and remote server.
const DWORD kAnyServerContext =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
const size_t kBankNameBufferSize = 1024;

IBankSettings* Verified(const IBankSettingsPtr& settings)
{
    if (!settings) _com_issue_error(E_POINTER);
    return settings.GetInterfacePtr();
}

void Check(HRESULT hr, IBankSettings* settings)
{
    if (FAILED(hr)) _com_issue_errorex(hr, settings, __uuidof(IBankSettings));
}

// The host takes the bank name in a writable buffer of its usual size.
struct BankNameBuffer {
    explicit BankNameBuffer(const char* name) { std::strncpy(text, name, sizeof text - 1); }
    char text[kBankNameBufferSize] = {};
};

} // namespace

HostBankSettings::HostBankSettings()
{
    IUnknownPtr unknown;
    // Local and remote servers must be running before they can be asked for an interface.
    if (SUCCEEDED(CoCreateInstance(
            CLSID_HostBankSettings, nullptr, kAnyServerContext, IID_IUnknown, reinterpret_cast<void**>(&unknown))) &&
        unknown) {
        OleRun(unknown);
        unknown->QueryInterface(__uuidof(IBankSettings), reinterpret_cast<void**>(&m_settings));
    }
}

void HostBankSettings::GetBankSettings(const char* bankName, char* fileName, char* extension, char* directory)
{
    IBankSettings* settings = Verified(m_settings);
    BankNameBuffer name(bankName);
    Check(settings->GetBankSettings(name.text, fileName, extension, directory), settings);
    // A host that overran its answers must not leave them unterminated.
    fileName[kPathBufferSize - 1] = '\0';
    extension[kExtensionBufferSize - 1] = '\0';
    directory[kPathBufferSize - 1] = '\0';
}

void HostBankSettings::EditBankSettings(const char* bankName, long mode)
{
    IBankSettings* settings = Verified(m_settings);
    BankNameBuffer name(bankName);
    Check(settings->EditBankSettings(name.text, mode), settings);
}
