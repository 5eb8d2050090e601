#pragma once
// Turns CSV rows into the host's payment objects, and reads them back after a run.
#include "BatchCsv.h"
#include "HostObjects.h"

#include <string>

namespace tavrin_host {

std::wstring Widen(const std::string& utf8);
std::string Utf8(const std::wstring& text);

HostRef<HostPaymentBatch> MakeHostBatch(const std::vector<PaymentRow>& rows);

// "YYYY-MM-DD" for a DATE, or empty for none (zero).
std::wstring FormatDate(DATE date);

} // namespace tavrin_host
