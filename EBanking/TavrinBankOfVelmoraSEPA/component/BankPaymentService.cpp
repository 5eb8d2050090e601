#include "component/BankPaymentService.h"

#include "common/FileNames.h"
#include "common/MessageBoxes.h"
#include "common/RunStatus.h"
#include "component/BankName.h"
#include "component/HostBankSettings.h"
#include "component/PaymentCountLimit.h"
#include "dialog/SepaInfoModel.h"
#include "dialog/SepaInfoView.h"
#include "resources/resource.h"
#include "sepa/CreditTransferFile.h"
#include "sepa/WindowsOutputPlatform.h"
#include "settings/DataFolder.h"
#include "validation/CharacterMap.h"
#include "validation/PaymentBatchValidation.h"
#include "validation/ResultMessages.h"

#include <cstring>
#include <string>

namespace {

constexpr size_t kPathBufferSize = HostBankSettings::kPathBufferSize;
constexpr size_t kExtensionBufferSize = HostBankSettings::kExtensionBufferSize;

// The mapping override file's path in the host's data folder, or empty while the data folder
// is unknown: the name alone would be looked for in the root of the current drive.
std::string MappingOverridePath()
{
    const std::string folder = GetDataFolder();
    return folder.empty() ? folder : folder + kMappingOverrideFileName;
}

void TellFileNotCreated()
{
    MessageBoxA(nullptr, kFileNotCreatedBox.text, kFileNotCreatedBox.caption, kFileNotCreatedBox.flags);
}

} // namespace

CBankPaymentService::CBankPaymentService() : IBankServiceImpl<IBankPaymentService>(L"Bank Payment Service") {}

HRESULT STDMETHODCALLTYPE CBankPaymentService::GetResultMessage(LONG resultCode, BSTR* message)
{
    return ComMethod([&] {
        RequireArgument(message);
        // A code without a text leaves the caller's string as it was.
        if (BSTR text = ResultMessageFor(resultCode)) *message = text;
    });
}

HRESULT STDMETHODCALLTYPE CBankPaymentService::ProcessPayments(IPaymentBatch* batch, IUnknown* reserved)
{
    return ComMethod([&] {
        RequireArgument(batch);
        RequireArgument(reserved);
        RunPayments(batch);
    });
}

// The payment run. Every object it creates is a local, so each is gone on every way out,
// the dialog first, then the model, then the host's settings object.
void CBankPaymentService::RunPayments(IPaymentBatch* batch)
{
    LONG& status = RunStatus();
    status = kRunDone;
    const bool allPaymentsValid = ValidatePaymentBatch(batch, MappingOverridePath(), status);
    if (HasMorePaymentsThanOneFileHolds(batch)) {
        status = kRunFileNotCreated;
        TellTooManyPayments();
        return;
    }

    HostBankSettings settings;
    char fileName[kPathBufferSize] = {};
    char extension[kExtensionBufferSize] = {};
    char directory[kPathBufferSize] = {};
    char fullPath[kPathBufferSize] = {};
    settings.GetBankSettings(kBankSettingsKey, fileName, extension, directory);

    // Without a usable clock the path stays empty and the user chooses one in the dialog.
    BuildDefaultOutputPath(directory, kOutputFileExtension, fullPath, sizeof fullPath);
    std::strcpy(extension, kOutputFileExtension);

    CSepaInfoModel model(batch, fullPath, extension);
    CSepaInfoView view(model);
    // A failure inside the dialog comes out of DoModal as what was thrown and leaves the run
    // as a failure; only a dialog that ended (or never opened) without OK is a cancel.
    if (view.DoModal(GetActiveWindow()) != IDOK) {
        status = kRunCancelled;
        return;
    }

    const std::string path = model.GetFilePath();
    const _bstr_t oin(model.GetOin(), false);
    // Only the file the user agreed to replace may be replaced; nothing else at the path is.
    if (!CreateCreditTransferFile(oin, batch, path.c_str(), IDR_PAIN001_STYLESHEET, model.GetFileToReplace())) {
        status = kRunFileNotCreated;
        TellFileNotCreated();
        return;
    }

    CheckForRedirectedFile(path.c_str());
    status = allPaymentsValid ? kRunDone : kRunDoneWithInvalidPayments;
}
