#pragma once
// The result codes the validation leaves on a host payment. The host may set others of its
// own; every code of validation/ResultMessageRanges.inc may have a message (see
// ResultMessages.h).

enum PaymentResultCode : long {
#define SEPA_RESULT_CODE(name, value) name = value,
#include "validation/ResultCodes.inc"
#undef SEPA_RESULT_CODE
};

struct ResultCodeRange {
    long first;
    long last;
};

constexpr ResultCodeRange kResultMessageRanges[] = {
#define SEPA_RESULT_MESSAGE_RANGE(first, last) {first, last},
#include "validation/ResultMessageRanges.inc"
#undef SEPA_RESULT_MESSAGE_RANGE
};

// True when the string table may hold a message for the code.
constexpr bool HasResultMessageId(long code)
{
    for (const ResultCodeRange& range : kResultMessageRanges) {
        if (code >= range.first && code <= range.last) return true;
    }
    return false;
}
