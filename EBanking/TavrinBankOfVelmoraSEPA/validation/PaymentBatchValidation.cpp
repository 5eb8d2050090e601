#include "validation/PaymentBatchValidation.h"

#include "common/ComError.h"
#include "common/PhaseTimer.h"
#include "settings/DataFolder.h"
#include "validation/EmbeddedMappings.h"
#include "validation/PaymentValidation.h"
#include "validation/ResultCodes.h"

#include <comdef.h>

#include <string>

_COM_SMARTPTR_TYPEDEF(IPayment, __uuidof(IPayment));

namespace {

const LONG kRunFailed = 2;

bool BatchFailed(LONG& runStatus)
{
    runStatus = kRunFailed;
    return false;
}

// The override file's path, or empty while the data folder is unknown: the name alone would
// be looked for in the root of the current drive.
std::string OverrideFilePath()
{
    const std::string folder = GetDataFolder();
    return folder.empty() ? folder : folder + kMappingOverrideFileName;
}

} // namespace

bool ValidatePaymentBatch(IPaymentBatch* batch, LONG& runStatus, const CCharacterMap::EmbeddedSource& embedded)
{
    try {
        RequireArgument(batch);
        const std::string overridePath = OverrideFilePath();
        const CCharacterMap map(overridePath.empty() ? nullptr : overridePath.c_str(), embedded);

        LONG count = 0;
        if (FAILED(batch->get_Count(&count))) return BatchFailed(runStatus);

        bool allPassed = true;
        for (LONG index = 0; index < count; ++index) {
            IPaymentPtr payment;
            if (FAILED(batch->get_Item(index, &payment)) || !payment) return BatchFailed(runStatus);
            if (ValidatePayment(payment, map) != kPaymentPassed) allPassed = false;
        }
        return allPassed;
    } catch (...) {
        return BatchFailed(runStatus);
    }
}

bool ValidatePaymentBatch(IPaymentBatch* batch, LONG& runStatus)
{
    const CPhaseTimer step("validation");
    return ValidatePaymentBatch(batch, runStatus, &ReadEmbeddedMappings);
}
