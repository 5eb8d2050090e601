#pragma once
// The run status that the payment service keeps for the host: the outcome of its last payment
// run, which the host reads afterwards. The host stand-in's runner reads the same values.

enum PaymentRunStatus : long {
    // Also the value at the start of every run.
    kRunDone = 0,
    // The file was written, but at least one payment failed validation.
    kRunDoneWithInvalidPayments = 1,
    // No file: the writer failed, or the batch could not be walked (left by the validation,
    // and kept only when the run then ends by an exception).
    kRunFileNotCreated = 2,
    // The payment details dialog did not end with OK.
    kRunCancelled = 3,
};
