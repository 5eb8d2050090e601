#pragma once
// The payment details of one run: the path chosen for the file and, in the host's first
// payment, the requested execution date and the OIN.
#include "TavrinBankPayments.h"

#include <string>

class CSepaInfoModel {
public:
    CSepaInfoModel(IPaymentBatch* batch, const char* fullPath, const char* extension);

    std::string GetFilePath() const;
    // A new BSTR owned by the caller.
    BSTR GetOin() const;

private:
    IPaymentBatch* m_batch;  // borrowed for the run
    std::string m_path;
    std::string m_extension;
};
