#pragma once
// What one payment run did, as the host saw it: the call's result, the run status, the file,
// the message boxes and every payment's result and written-back values.
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

// Each puts the report in out, in place of what it held, so that one buffer can serve both.
void FormatReportText(const RunReport& report, std::string& out);
void FormatReportJson(const RunReport& report, std::string& out);

} // namespace tavrin_host
