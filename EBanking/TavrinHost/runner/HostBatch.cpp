#include "HostBatch.h"

#include <oleauto.h>

#include <iterator>

namespace tavrin_host {

std::wstring Widen(std::string_view utf8)
{
    if (utf8.empty()) return std::wstring();
    const int size = static_cast<int>(utf8.size());
    // No more UTF-16 units than bytes: a short text is converted once, on the stack.
    wchar_t buffer[256];
    if (utf8.size() <= std::size(buffer)) {
        const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, buffer, static_cast<int>(std::size(buffer)));
        return std::wstring(buffer, static_cast<size_t>(n));
    }
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, &out[0], n);
    return out;
}

std::string Utf8(const std::wstring& text)
{
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

HostRef<HostPaymentBatch> MakeHostBatch(const std::vector<PaymentRow>& rows)
{
    HostRef<HostPaymentBatch> batch = HostPaymentBatch::Create();
    batch->payments.reserve(rows.size());
    for (const PaymentRow& row : rows) {
        HostPayment& p = batch->Add();
        p.payerName = Widen(row.payerName);
        p.payerIban = Widen(row.payerIban);
        p.payerBic = Widen(row.payerBic);
        p.payeeName = Widen(row.payeeName);
        p.payeeIban = Widen(row.payeeIban);
        p.payeeBic = Widen(row.payeeBic);
        p.amount = row.amount;
        p.currency1 = row.currency1;
        p.currency2 = row.currency2;
        p.paymentReference = Widen(row.paymentReference);
        p.payeeReference = Widen(row.payeeReference);
        if (row.executionYear) {
            SYSTEMTIME day = {};
            day.wYear = static_cast<WORD>(row.executionYear);
            day.wMonth = static_cast<WORD>(row.executionMonth);
            day.wDay = static_cast<WORD>(row.executionDay);
            SystemTimeToVariantTime(&day, &p.executionDate);
        }
        if (row.hasOin) p.SetOin(Widen(row.oin));
    }
    return batch;
}

} // namespace tavrin_host
