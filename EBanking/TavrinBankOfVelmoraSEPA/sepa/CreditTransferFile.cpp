#include "sepa/CreditTransferFile.h"

// Interim: the file writer is not built yet, so no file is ever saved.
bool CreateCreditTransferFile(const _bstr_t&, IPaymentBatch*, const char*, int)
{
    return false;
}
