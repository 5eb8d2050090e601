#pragma once
// The payment file: the credit transfer document of the batch, transformed by the stylesheet
// resource into a pain.001.001.03 file.
#include "common/FileIdentity.h"
#include "common/LocalClock.h"
#include "sepa/FileOperations.h"
#include "TavrinBankPayments.h"

#include <comdef.h>

#include <optional>

// Builds the credit transfer document of the batch with debtorReference (the OIN) and the
// creation time from clock, transforms it with the stylesheet resource stylesheetId straight
// into the file at outputPath (ANSI code page), which is then there whole or not at all (see
// WriteWholeFile). A file at the path is replaced only when it is replaces, the one the user
// agreed to replace. True only when the file was written; false when the XML engine, the
// stylesheet or the transformation failed, the batch gave no document, the file holds another
// number of transactions than the batch has payments, or the file could not be written. files
// makes the file system calls. Throws only when memory runs out.
bool CreateCreditTransferFile(const _bstr_t& debtorReference, IPaymentBatch* batch, const char* outputPath,
                              int stylesheetId, const std::optional<FileIdentity>& replaces = std::nullopt,
                              const LocalClock& clock = CurrentLocalTime,
                              CFileOperations& files = SystemFileOperations());
