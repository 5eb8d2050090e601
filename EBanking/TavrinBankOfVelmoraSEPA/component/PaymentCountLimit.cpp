#include "component/PaymentCountLimit.h"

#include "common/MessageBoxes.h"

#include <windows.h>

bool HasMorePaymentsThanOneFileHolds(IPaymentBatch* batch)
{
    LONG count = 0;
    if (!batch || FAILED(batch->get_Count(&count))) return false;
    return count > kMostPaymentsInOneFile;
}

void TellTooManyPayments()
{
    MessageBoxA(nullptr, kTooManyPaymentsBox.text, kTooManyPaymentsBox.caption, kTooManyPaymentsBox.flags);
}
