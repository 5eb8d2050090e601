// Reading the host's payment batch files into payment objects, and the UTF-8 text the runner
// writes.
#include "BatchCsv.h"
#include "HostBatch.h"
#include "Utf8Text.h"

#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

using namespace tavrin_host;

namespace {

const char kHeader[] =
    "payer_name,payer_iban,payer_bic,payee_name,payee_iban,payee_bic,amount,currency1,currency2,"
    "payment_reference,payee_reference,execution_date,oin\r\n";

// The dialog's picker stands in as one that shows every day from 1752-09-14, the first of its
// calendar under Wine.
bool Showable(const CalendarDay& day) { return day.year * 10000 + day.month * 100 + day.day >= 17520914; }

size_t FaultLine(const std::string& text)
{
    try {
        ParseBatchCsv(text, Showable);
    } catch (const CsvError& e) {
        return e.Line();
    }
    return 0;
}

} // namespace

TEST(BatchCsv, ReadsQuotedFieldsDatesAmountsAndTheFirstRowsOin)
{
    const std::string text = std::string("\xEF\xBB\xBF") + kHeader +
                             "Payer,DE1,BIC1,\"M\xC3\xBCller, "
                             "\"\"Sons\"\"\",DE2,BIC2,1234.50,978,978,\"line\nbreak\",ref,2026-12-08,OIN-1\r\n"
                             "Payer,DE1,BIC1,Other,DE3,BIC3,0.5,826,,,,,\n";
    const BatchRows batch = ParseBatchCsv(text, Showable);
    const std::vector<PaymentRow>& rows = batch.rows;
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ("M\xC3\xBCller, \"Sons\"", rows[0].payeeName);
    EXPECT_EQ("line\nbreak", rows[0].paymentReference);
    EXPECT_DOUBLE_EQ(1234.50, rows[0].amount);
    EXPECT_EQ(2026, rows[0].executionYear);
    EXPECT_EQ(12, rows[0].executionMonth);
    EXPECT_EQ(8, rows[0].executionDay);
    EXPECT_TRUE(rows[0].hasOin);
    EXPECT_EQ("OIN-1", rows[0].oin);
    EXPECT_EQ(826, rows[1].currency1);
    EXPECT_EQ(978, rows[1].currency2) << "an empty currency is the euro";
    EXPECT_EQ(0, rows[1].executionYear);
    EXPECT_FALSE(rows[1].hasOin);
}

TEST(BatchCsv, ColumnsMayComeInAnyOrder)
{
    const std::string text =
        "oin,amount,payer_name,payer_iban,payer_bic,payee_name,payee_iban,payee_bic,currency1,currency2,"
        "payment_reference,payee_reference,execution_date\n"
        "X1,7.25,P,I,B,Q,J,C,978,978,R,S,\n";
    const BatchRows batch = ParseBatchCsv(text, Showable);
    const std::vector<PaymentRow>& rows = batch.rows;
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ("X1", rows[0].oin);
    EXPECT_DOUBLE_EQ(7.25, rows[0].amount);
    EXPECT_EQ("Q", rows[0].payeeName);
}

TEST(BatchCsv, FaultsNameTheirLine)
{
    const std::string row = "P,I,B,Q,J,C,1.00,978,978,R,S,,\n";
    EXPECT_EQ(1u, FaultLine(""));
    EXPECT_EQ(1u, FaultLine("payer_name,amount\n"));                             // columns missing
    EXPECT_EQ(1u, FaultLine(std::string(kHeader).replace(0, 10, "payer_nome"))); // unknown column
    EXPECT_EQ(3u, FaultLine(kHeader + row + "P,I,B,Q,J,C,abc,978,978,R,S,,\n")); // amount
    EXPECT_EQ(2u, FaultLine(kHeader + std::string("P,I,B,Q,J,C,1.00,978,978,R,S,2026-02-30,\n")));
    EXPECT_EQ(2u, FaultLine(kHeader + std::string("P,I,B,Q,J,C,1.00,978,978,R,S,8/12/2026,\n")));
    EXPECT_EQ(2u, FaultLine(kHeader + std::string("P,I,B,Q,J,C,1.00,9780,978,R,S,,\n")));
    EXPECT_EQ(2u, FaultLine(kHeader + std::string("P,I,B,Q,J,C,1.00,978\n")));       // too few fields
    EXPECT_EQ(3u, FaultLine(kHeader + row + "P,I,B,Q,J,C,1.00,978,978,R,S,,OIN\n")); // OIN off the first row
    EXPECT_EQ(2u, FaultLine(kHeader + std::string("P,I,B,\"open,J,C,1.00,978,978,R,S,,\n")));
    EXPECT_EQ(2u, FaultLine(kHeader + std::string("P,I,B,Q\"x,J,C,1.00,978,978,R,S,,\n")));
    EXPECT_EQ(3u, FaultLine(kHeader + row + "P,I,B,Q,J,C,1.00,978,978,R,S,1752-09-13,\n")); // not shown
    EXPECT_EQ(0u, FaultLine(kHeader + std::string("P,I,B,Q,J,C,1.00,978,978,R,S,1752-09-14,\n")));
    // Not UTF-8: a Latin-1 letter, a lone continuation byte, an overlong form, a surrogate.
    EXPECT_EQ(3u, FaultLine(kHeader + row + "P,I,B,Caf\xE9,J,C,1.00,978,978,R,S,,\n"));
    EXPECT_EQ(3u, FaultLine(kHeader + std::string("P,I,B,\"a\nb\x80\",J,C,1.00,978,978,R,S,,\n")));
    EXPECT_EQ(2u, FaultLine(kHeader + std::string("P,I,B,\xC0\xAF,J,C,1.00,978,978,R,S,,\n")));
    EXPECT_EQ(2u, FaultLine(kHeader + std::string("P,I,B,\xED\xA0\x80,J,C,1.00,978,978,R,S,,\n")));
    EXPECT_EQ(0u, FaultLine(kHeader + std::string("P,I,B,\xF0\x9F\x92\xB6 \xE2\x82\xAC,J,C,1.00,978,978,R,S,,\n")));
    EXPECT_EQ(0u, FaultLine(kHeader + row + "\n")) << "a blank last line is no payment";
    EXPECT_EQ(2u, FaultLine(kHeader + std::string("\n") + row)) << "a blank line before a payment";
    // Numbers are read as a C++ stream reads them: blanks and a sign may come first, nothing after.
    for (const char* amount : {"nan", "inf", "1e999", "+-1", "1.5 ", "0x10", "."})
        EXPECT_EQ(2u, FaultLine(kHeader + std::string("P,I,B,Q,J,C,") + amount + ",978,978,R,S,,\n")) << amount;
    for (const char* amount : {" +1.5", "5.", "1e-999"})
        EXPECT_EQ(0u, FaultLine(kHeader + std::string("P,I,B,Q,J,C,") + amount + ",\t826,+978,R,S,,\n")) << amount;
}

// The report writes the host's UTF-16 values as UTF-8 itself, byte for byte as the system's
// conversion does; a surrogate without its other half is the replacement character.
TEST(Utf8Text, AppendsUtf16AsTheSystemConvertsIt)
{
    const std::wstring texts[] = {L"Velmora Trading Ltd",
                                  L"M\u00FCller & S\u00F6hne \u20AC \u4E2D\u6587",
                                  L"\xD83D\xDCB6 pair, then a lone high \xD83D",
                                  L"lone low \xDC00 and swapped \xDC00\xD800",
                                  std::wstring(L"NUL\0inside", 10)};
    for (const std::wstring& text : texts) {
        const int size = static_cast<int>(text.size());
        std::string expected(static_cast<size_t>(3 * size), '\0');
        expected.resize(static_cast<size_t>(
            WideCharToMultiByte(CP_UTF8, 0, text.data(), size, &expected[0], 3 * size, nullptr, nullptr)));
        std::string written = "kept ";
        AppendUtf8(written, text);
        EXPECT_EQ("kept " + expected, written);
    }
    std::string lone;
    AppendUtf8(lone, L"\xDBFF");
    EXPECT_EQ("\xEF\xBF\xBD", lone);
}

// A payment made from a row holds its values in one buffer; a put that outgrows a value's place
// there must not spill into its neighbours, and one that fits stays in it.
TEST(HostBatch, PaymentsTakePutsOfAnyLengthBesideTheValuesMadeFromTheirRow)
{
    std::vector<PaymentRow> rows(2);
    rows[0].payeeName = "Caf\xC3\xA9";
    rows[0].payeeIban = "FR14";
    rows[1].payeeName = "Second";
    HostRef<HostPaymentBatch> batch = MakeHostBatch(rows);
    HostPayment& first = *batch->payments[0];
    EXPECT_EQ(L"Caf\u00E9", first.payeeName);

    auto put = [&first](const wchar_t* value) {
        BSTR text = SysAllocString(value);
        EXPECT_EQ(S_OK, first.put_PayeeAccountName(text));
        SysFreeString(text);
    };
    put(L"Cafe Aro Fisk and Sons");
    EXPECT_EQ(L"Cafe Aro Fisk and Sons", first.payeeName);
    put(L"Cf");
    EXPECT_EQ(L"Cf", first.payeeName);
    EXPECT_EQ(L"FR14", first.payeeIban);
    EXPECT_EQ(L"Second", batch->payments[1]->payeeName);
    BSTR read = nullptr;
    ASSERT_EQ(S_OK, first.get_PayeeAccountName(&read));
    EXPECT_EQ(std::wstring(L"Cf"), std::wstring(read, SysStringLen(read)));
    SysFreeString(read);
}
