#include "SampleBatch.h"

namespace tavrin_host {

std::vector<PaymentRow> SampleBatch()
{
    // UTF-8 in the source: the host holds names as Unicode text. The rows view these literals.
    static const char payerName[] = "Velmora Trading Ltd";
    static const char payerIban[] = "DE89 3704 0044 0532 0130 00";
    static const char payerBic[] = "COBADEFFXXX";
    std::vector<PaymentRow> rows(4);
    rows[0] = {payerName,
               payerIban,
               payerBic,
               "M\xC3\xBCller & S\xC3\xB6hne GmbH",
               "DE75512108001245126199",
               "SOGEDEFF",
               1234.50,
               978,
               978,
               "INV-2026-0042",
               "Invoice 42 / Dec",
               0,
               0,
               0,
               "VELMORA-OIN-001",
               true};
    rows[1] = {payerName,
               payerIban,
               payerBic,
               "Caf\xC3\xA9 \xC3\x86r\xC3\xB8 ApS",
               "dk50 0040 0440 1162 43",
               "NDEADKKK",
               89.99,
               978,
               978,
               "INV-2026-0043",
               "",
               0,
               0,
               0,
               "",
               false};
    rows[2] = {payerName,
               payerIban,
               payerBic,
               "O'Brien Hardware",
               "IE29AIBK93115212345678",
               "AIBKIE2D",
               1000000.00,
               978,
               978,
               "INV-2026-0044",
               "Q4 tools",
               0,
               0,
               0,
               "",
               false};
    // Fails its checks: a pound sterling payment to an account without a valid IBAN.
    rows[3] = {payerName,
               payerIban,
               payerBic,
               "\xD0\xA9\xD1\x83\xD0\xBA\xD0\xB0 Ltd",
               "GB00",
               "NWBKGB2L",
               250.00,
               826,
               826,
               "INV-2026-0045",
               "",
               0,
               0,
               0,
               "",
               false};
    return rows;
}

} // namespace tavrin_host
