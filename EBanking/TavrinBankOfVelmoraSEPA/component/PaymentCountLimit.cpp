#include "component/PaymentCountLimit.h"

#include <windows.h>

bool HasMorePaymentsThanOneFileHolds(IPaymentBatch* batch)
{
    LONG count = 0;
    if (!batch || FAILED(batch->get_Count(&count))) return false;
    return count > kMostPaymentsInOneFile;
}

void TellTooManyPayments()
{
    MessageBoxA(nullptr,
                "The batch holds more payments than one SEPA Credit Transfer File can take.\n\n"
                "At most 99,999 payments fit in one file. Please split the batch and try again.",
                "Too many payments",
                MB_OK | MB_ICONERROR);
}
