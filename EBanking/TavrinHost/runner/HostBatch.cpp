#include "HostBatch.h"

#include "Utf8Text.h"

#include <oleauto.h>

namespace tavrin_host {
namespace {

// Converts into room for as many units as the text has bytes, which UTF-16 never exceeds, and
// returns the units written.
size_t WidenInto(std::string_view utf8, wchar_t* room)
{
    if (utf8.empty()) return 0;
    const int size = static_cast<int>(utf8.size());
    return static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, room, size));
}

} // namespace

std::wstring Widen(std::string_view utf8)
{
    std::wstring out(utf8.size(), L'\0');
    out.resize(WidenInto(utf8, &out[0]));
    return out;
}

std::string Utf8(const std::wstring& text)
{
    std::string out;
    AppendUtf8(out, text);
    return out;
}

HostRef<HostPaymentBatch> MakeHostBatch(const std::vector<PaymentRow>& rows)
{
    HostRef<HostPaymentBatch> batch = HostPaymentBatch::Create();
    batch->payments.reserve(rows.size());
    for (const PaymentRow& row : rows) {
        HostPayment& p = batch->Add();
        const std::string_view texts[HostPayment::kTextCount] = {row.payerName,
                                                                 row.payerIban,
                                                                 row.payerBic,
                                                                 row.payeeName,
                                                                 row.payeeIban,
                                                                 row.payeeBic,
                                                                 row.paymentReference,
                                                                 row.payeeReference};
        size_t bytes = 0;
        for (const std::string_view& text : texts)
            bytes += text.size();
        // Converted straight into the payment's buffer, a unit for each of the row's bytes: UTF-16
        // needs no more.
        p.SetTexts(bytes, [&texts](size_t i, wchar_t* place) { return WidenInto(texts[i], place); });
        p.amount = row.amount;
        p.currency1 = row.currency1;
        p.currency2 = row.currency2;
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
