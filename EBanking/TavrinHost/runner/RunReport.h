#pragma once
// What one payment run did, as the host saw it: the call's result, the run status, the file,
// the message boxes and every payment's result and written-back values.
#include "ByteSink.h"
#include "HostObjects.h"
#include "MessageBoxWatcher.h"

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace tavrin_host {

struct RunReport {
    std::wstring bankName;
    long bankKind = 0;
    std::wstring bankSubCategory;
    HRESULT hresult = S_OK;
    long status = -1;
    std::wstring file;    // the file written, as Windows names it, or empty
    std::string filePath; // its Unix path, or empty when there is none
    std::vector<MessageBoxRecord> messages;
    // The payments as the run left them, read where they are rather than copied; null for none.
    const HostPaymentBatch* payments = nullptr;
    // The component's message for each result code among the payments.
    std::map<long, std::wstring> resultMessages;
};

// Each hands the report to sink in pieces, so that a large batch's report is never held whole.
// False when the sink did not take a piece.
bool WriteReportText(const RunReport& report, const ByteSink& sink);
bool WriteReportJson(const RunReport& report, const ByteSink& sink);

} // namespace tavrin_host
