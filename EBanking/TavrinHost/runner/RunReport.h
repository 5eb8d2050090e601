#pragma once
// What one payment run did, as the host saw it: the call's result, the run status, the file,
// the message boxes and every payment's result and written-back values.
#include "MessageBoxWatcher.h"

#include <windows.h>

#include <string>
#include <vector>

namespace tavrin_host {

struct PaymentOutcome {
    long index = 0;
    long code = 0;
    std::wstring message;
    std::wstring payerName, payerIban, payerBic;
    std::wstring payeeName, payeeIban, payeeBic;
    double amount = 0.0;
    long currency1 = 0, currency2 = 0;
    std::wstring paymentReference, payeeReference;
    std::wstring executionDate; // YYYY-MM-DD or empty
    std::wstring oin;           // first payment only
};

struct RunReport {
    std::wstring bankName;
    long bankKind = 0;
    std::wstring bankSubCategory;
    HRESULT hresult = S_OK;
    long status = -1;
    std::wstring file;    // the file written, as Windows names it, or empty
    std::string filePath; // its Unix path, or empty when there is none
    std::vector<MessageBoxRecord> messages;
    std::vector<PaymentOutcome> payments;
};

std::string FormatReportText(const RunReport& report);
std::string FormatReportJson(const RunReport& report);

} // namespace tavrin_host
