#pragma once
#include "validation/CharacterMap.h"

#include "TavrinBankPayments.h"

#include <windows.h>

#include <string>

// Checks, normalises and writes back every payment of the batch and leaves a result code on
// each. Returns true when every payment passed. When the batch cannot deliver its count or a
// payment, or anything throws (the mapping table missing, memory running out), the walk stops
// there, runStatus becomes 2 and the result is false; codes already written stay. A payment
// without IPaymentEx also makes runStatus 2 and the result false, and the walk goes on.
//
// The mapping table is built for this call only, from the override file at overridePath when
// it can be opened, otherwise from the module's embedded table; an empty path names no file.
bool ValidatePaymentBatch(IPaymentBatch* batch, const std::string& overridePath, LONG& runStatus);

// The same, with the embedded table taken from the given source.
bool ValidatePaymentBatch(IPaymentBatch* batch, const std::string& overridePath, LONG& runStatus,
                          const CCharacterMap::EmbeddedSource& embedded);
