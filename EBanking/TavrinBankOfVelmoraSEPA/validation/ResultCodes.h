#pragma once
// The result codes the validation leaves on a host payment. The host may set others of its
// own; every code from 0 to 35 and from 105 to 108 may have a message (see ResultMessages.h).

enum PaymentResultCode : long {
    kPaymentPassed = 0,
    kInvalidAmount = 21,
    kAmountTooLong = 32,
    kInvalidPayerName = 25,
    kInvalidPayeeName = 30,
    // The payment does not offer IPaymentEx, which carries its accounts, names and amount.
    kMissingPaymentDetails = 33,
    kInvalidCurrency = 34,
    kInvalidPayerIban = 105,
    kInvalidPayerBic = 106,
    kInvalidPayeeIban = 107,
    kInvalidPayeeBic = 108,
};

// True when the string table may hold a message for the code.
constexpr bool HasResultMessageId(long code) { return (code >= 0 && code <= 35) || (code >= 105 && code <= 108); }
