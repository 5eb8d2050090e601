#pragma once
#include "TavrinBankPayments.h"

// Checks, normalises and writes back every payment of the batch and leaves a result code on
// each. Returns true when every payment passed; may set runStatus to 2 when the batch itself
// fails.
bool ValidatePaymentBatch(IPaymentBatch* batch, LONG& runStatus);
