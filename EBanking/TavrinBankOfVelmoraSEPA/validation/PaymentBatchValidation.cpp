#include "validation/PaymentBatchValidation.h"

#include "common/ComError.h"
#include "common/PhaseTimer.h"
#include "common/RunStatus.h"
#include "validation/EmbeddedMappings.h"
#include "validation/PaymentValidation.h"
#include "validation/ResultCodes.h"

#include <comdef.h>

#include <string>

_COM_SMARTPTR_TYPEDEF(IPayment, __uuidof(IPayment));

namespace {

bool BatchFailed(LONG& runStatus)
{
    runStatus = kRunFileNotCreated;
    return false;
}

} // namespace

bool ValidatePaymentBatch(IPaymentBatch* batch, const std::string& overridePath, LONG& runStatus,
                          const CCharacterMap::EmbeddedSource& embedded)
{
    try {
        RequireArgument(batch);
        const CCharacterMap map(overridePath.empty() ? nullptr : overridePath.c_str(), embedded);

        LONG count = 0;
        if (FAILED(batch->get_Count(&count))) return BatchFailed(runStatus);

        bool allPassed = true;
        PaymentTextScratch scratch;
        for (LONG index = 0; index < count; ++index) {
            IPaymentPtr payment;
            if (FAILED(batch->get_Item(index, &payment)) || !payment) return BatchFailed(runStatus);
            const long code = ValidatePayment(payment, map, scratch);
            // A payment without its details leaves the batch unfit for a file, as one the batch
            // cannot deliver does; the rest are still checked, so each carries its own code.
            if (code == kMissingPaymentDetails) BatchFailed(runStatus);
            if (code != kPaymentPassed) allPassed = false;
        }
        return allPassed;
    } catch (...) {
        return BatchFailed(runStatus);
    }
}

bool ValidatePaymentBatch(IPaymentBatch* batch, const std::string& overridePath, LONG& runStatus)
{
    const CPhaseTimer step("validation");
    return ValidatePaymentBatch(batch, overridePath, runStatus, &ReadEmbeddedMappings);
}
