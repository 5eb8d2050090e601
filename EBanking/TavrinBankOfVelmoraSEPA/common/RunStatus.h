#pragma once
// The run status that the payment service keeps for the host: the outcome of its last payment
// run, which the host reads afterwards. The host stand-in's runner reads the same values.

enum PaymentRunStatus : long {
#define SEPA_RUN_STATUS(name, value) name = value,
#include "common/RunStatuses.inc"
#undef SEPA_RUN_STATUS
};
