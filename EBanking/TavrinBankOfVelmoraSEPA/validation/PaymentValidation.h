#pragma once
// The checks of one host payment, in their fixed order: payer IBAN and BIC, payee IBAN and
// BIC, amount, payer and payee account names, payment reference, currency. Each normalised
// or cleaned value is written back to the payment whether its check passed or not.
#include "common/CString.h"
#include "validation/CharacterMap.h"

#include "TavrinBankPayments.h"

#include <string>

// The buffers that a payment's texts pass through on their way to the checks, kept from one
// payment to the next so that a batch does not allocate them again for every value.
struct PaymentTextScratch {
    std::wstring wide;
    std::string narrow;
    CString value;
};

// Sets the payment's result code to 0, then to the code of each check that fails, so the last
// failing check's code is the one that stays. A payment without IPaymentEx gets
// kMissingPaymentDetails and is not read further. Returns the code left on the payment.
long ValidatePayment(IPayment* payment, const CCharacterMap& map, PaymentTextScratch& scratch);
