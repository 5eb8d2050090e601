#include "validation/PaymentBatchValidation.h"

// Payment checks are not built yet: no payment can be called valid.
bool ValidatePaymentBatch(IPaymentBatch*, LONG&)
{
    return false;
}
