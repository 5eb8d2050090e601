#pragma once
// Turns CSV rows into the host's payment objects, and the host's UTF-16 text into UTF-8 and back.
#include "BatchCsv.h"
#include "HostObjects.h"

#include <string>
#include <string_view>

namespace tavrin_host {

std::wstring Widen(std::string_view utf8);
std::string Utf8(const std::wstring& text);

// Each row's text is converted once, into the one buffer of its payment that holds it for the run.
HostRef<HostPaymentBatch> MakeHostBatch(const std::vector<PaymentRow>& rows);

} // namespace tavrin_host
