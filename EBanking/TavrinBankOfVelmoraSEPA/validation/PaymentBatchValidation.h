#pragma once
#include "validation/CharacterMap.h"

#include "TavrinBankPayments.h"

#include <windows.h>

// Checks, normalises and writes back every payment of the batch and leaves a result code on
// each. Returns true when every payment passed. When the batch cannot deliver its count or a
// payment, or anything throws (the mapping table missing, memory running out), the walk stops
// there, runStatus becomes 2 and the result is false; codes already written stay.
//
// The mapping table is built for this call only, from the override file in the host's data
// folder when it can be opened, otherwise from the module's embedded table.
bool ValidatePaymentBatch(IPaymentBatch* batch, LONG& runStatus);

// The same, with the embedded table taken from the given source.
bool ValidatePaymentBatch(IPaymentBatch* batch, LONG& runStatus, const CCharacterMap::EmbeddedSource& embedded);
