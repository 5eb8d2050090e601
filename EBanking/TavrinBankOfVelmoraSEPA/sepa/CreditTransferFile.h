#pragma once
#include "TavrinBankPayments.h"

#include <comdef.h>

// Builds the credit transfer document of the batch, transforms it with the stylesheet resource
// and saves the result at outputPath (ANSI code page). True when the file was saved.
bool CreateCreditTransferFile(const _bstr_t& debtorReference, IPaymentBatch* batch, const char* outputPath,
                              int stylesheetId);
