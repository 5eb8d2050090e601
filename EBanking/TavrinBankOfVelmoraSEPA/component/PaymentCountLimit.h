#pragma once
// How many payments one credit transfer file can hold. The file numbers its payments with
// five digits inside identifiers that may be at most 35 characters long, so the 100,000th
// payment would make the file invalid.
#include "TavrinBankPayments.h"

const LONG kMostPaymentsInOneFile = 99999;

// True when the host counts more payments in the batch than one file can hold. A batch whose
// count cannot be read is not refused here: the file writer fails on it by itself.
bool HasMorePaymentsThanOneFileHolds(IPaymentBatch* batch);

// Tells the user that the batch must be split.
void TellTooManyPayments();
