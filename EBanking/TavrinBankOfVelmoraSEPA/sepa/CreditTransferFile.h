#pragma once
// The payment file: the credit transfer document of the batch, transformed by the stylesheet
// resource into a pain.001.001.03 document and saved.
#include "common/LocalClock.h"
#include "TavrinBankPayments.h"

#include <comdef.h>

// Builds the credit transfer document of the batch with debtorReference (the OIN) and the
// creation time from clock, transforms it with the stylesheet resource stylesheetId and saves
// the result at outputPath (ANSI code page). True only when a document was produced and saved;
// false when the XML engine, the stylesheet or the transformation failed or the file could not
// be written. Throws a _com_error only when memory runs out.
bool CreateCreditTransferFile(const _bstr_t& debtorReference, IPaymentBatch* batch, const char* outputPath,
                              int stylesheetId, const LocalClock& clock = CurrentLocalTime);
