// The written payment file, read back: every value the bank reads, the element layout, the
// escaping of special characters and the encoding. Files of valid batches are kept in the
// program's folder under sepa-written-files for the schema check that runs after this program.
#include "sepa/CreditTransferFile.h"

#include "resources/resource.h"

#include "HostObjects.h"
#include "PaymentFileTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace paymentfile;
using tavrin_host::HostPaymentBatch;
using tavrin_host::HostRef;

namespace {

const FixedClock kCreationTime = At(2013, 5, 21, 14, 3, 9);

class Pain001File : public testing::Test {
protected:
    // Writes the batch and reads the file back.
    WrittenFile Write(const std::string& path, const wchar_t* oin = L"")
    {
        EXPECT_TRUE(CreateCreditTransferFile(
            _bstr_t(oin), batch.get(), path.c_str(), IDR_PAIN001_STYLESHEET, std::nullopt, kCreationTime));
        WrittenFile file(path);
        EXPECT_TRUE(file.Loaded()) << path << " must exist and be well-formed";
        return file;
    }

    HostRef<HostPaymentBatch> batch = HostPaymentBatch::Create();
};

TEST_F(Pain001File, ThreeCreditorsCarryEveryValueOfTheFileLayout)
{
    AddValidPayment(*batch, L"Fish & Chips Ltd", 1234.5, L"INV 42");
    auto& second = AddValidPayment(*batch, L"A<B Trading GmbH", 1000000.0, L"ORDER 2013-05 NO 000123 ABCDEF GHIJKLMNO");
    second.payeeIban = L"AT611904300234573201";
    second.payeeBic = L"BKAUATWW";
    auto& third = AddValidPayment(*batch, L"Velmora Supplies", 0.25, L"");
    third.payeeIban = L"FR1420041010050500013M02606";
    third.payeeBic = L"PSSTFRPPLIL";

    // Amounts must not follow the user's regional settings.
    DecimalCommaLocale decimalComma;
    ASSERT_EQ("1.234,50", DecimalCommaLocale::StreamSample()) << "the locale seam must be in force";
    const WrittenFile file = Write(KeptForSchemaCheck("three-creditors.xml"));

    const std::pair<const wchar_t*, const wchar_t*> header[] = {
        {L"GrpHdr/MsgId", L"SEPA130521140309"},
        {L"GrpHdr/CreDtTm", L"2013-05-21T14:03:09"},
        {L"GrpHdr/NbOfTxs", L"3"},
        {L"GrpHdr/CtrlSum", L"1001234.75"},
        {L"GrpHdr/InitgPty/Id/PrvtId/Othr/Id", L"999999"}, // no OIN
        {L"PmtInf/PmtInfId", L"CREDITOR PAYMENTS 21052013"},
        {L"PmtInf/PmtMtd", L"TRF"},
        {L"PmtInf/BtchBookg", L"true"},
        {L"PmtInf/NbOfTxs", L"3"},
        {L"PmtInf/CtrlSum", L"1001234.75"},
        {L"PmtInf/PmtTpInf/InstrPrty", L"NORM"},
        {L"PmtInf/PmtTpInf/SvcLvl/Cd", L"SEPA"},
        {L"PmtInf/ReqdExctnDt", L"2013-05-23"},
        {L"PmtInf/Dbtr/Nm", L"Tavrin Holdings"},
        {L"PmtInf/Dbtr/PstlAdr/Ctry", L"DE"},
        {L"PmtInf/DbtrAcct/Id/IBAN", L"DE89370400440532013000"},
        {L"PmtInf/DbtrAcct/Ccy", L"EUR"},
        {L"PmtInf/DbtrAgt/FinInstnId/BIC", L"COBADEFFXXX"},
        {L"PmtInf/ChrgBr", L"SLEV"},
    };
    for (const auto& value : header)
        EXPECT_EQ(value.second, file.Text(value.first)) << value.first;

    struct Transaction {
        const wchar_t* instrId;
        const wchar_t* endToEndId;
        const wchar_t* amount;
        const wchar_t* bic;
        const wchar_t* name;
        const wchar_t* country;
        const wchar_t* iban;
    };
    const Transaction transactions[] = {
        // A short reference is padded with blanks to 18 characters.
        {L"INV4200001",
         L"INV 42            13052114030900001",
         L"1234.50",
         L"NWBKGB2L",
         L"Fish & Chips Ltd",
         L"GB",
         L"GB29NWBK60161331926819"},
        // A 40-character reference is cut to 30 (then loses its blanks) and to 18.
        {L"ORDER2013-05NO000123ABCDEF00002",
         L"ORDER 2013-05 NO 013052114030900002",
         L"1000000.00",
         L"BKAUATWW",
         L"A<B Trading GmbH",
         L"AT",
         L"AT611904300234573201"},
        // Without a payment reference the payer's name stands in.
        {L"TavrinHoldings00003",
         L"Tavrin Holdings   13052114030900003",
         L"0.25",
         L"PSSTFRPPLIL",
         L"Velmora Supplies",
         L"FR",
         L"FR1420041010050500013M02606"},
    };
    ASSERT_EQ(3, file.TransactionCount());
    for (int number = 1; number <= 3; ++number) {
        const Transaction& expected = transactions[number - 1];
        SCOPED_TRACE("transaction " + std::to_string(number));
        EXPECT_EQ(expected.instrId, file.TransactionText(number, L"PmtId/InstrId"));
        EXPECT_EQ(expected.endToEndId, file.TransactionText(number, L"PmtId/EndToEndId"));
        EXPECT_EQ(expected.amount, file.TransactionText(number, L"Amt/InstdAmt"));
        EXPECT_EQ(L"EUR", file.TransactionCurrency(number));
        EXPECT_EQ(expected.bic, file.TransactionText(number, L"CdtrAgt/FinInstnId/BIC"));
        EXPECT_EQ(expected.name, file.TransactionText(number, L"Cdtr/Nm"));
        EXPECT_EQ(expected.country, file.TransactionText(number, L"Cdtr/PstlAdr/Ctry"));
        EXPECT_EQ(expected.iban, file.TransactionText(number, L"CdtrAcct/Id/IBAN"));
    }

    // Special characters are escaped once, by the engine.
    EXPECT_NE(std::string::npos, file.Bytes().find("Fish &amp; Chips Ltd"));
    EXPECT_NE(std::string::npos, file.Bytes().find("A&lt;B Trading GmbH"));
    // The creditor's own reference is not part of the file.
    EXPECT_EQ(std::string::npos, file.Bytes().find("Invoice 42"));
}

TEST_F(Pain001File, ElementsStandInTheBanksOrder)
{
    AddValidPayment(*batch, L"Velmora Supplies", 70.0, L"PO 7");
    const WrittenFile file = Write(KeptForSchemaCheck("one-payment.xml"));

    using Names = std::vector<std::wstring>;
    EXPECT_EQ((Names{L"GrpHdr", L"PmtInf"}), file.ChildNames(L""));
    EXPECT_EQ((Names{L"MsgId", L"CreDtTm", L"NbOfTxs", L"CtrlSum", L"InitgPty"}), file.ChildNames(L"GrpHdr"));
    EXPECT_EQ((Names{L"PmtInfId",
                     L"PmtMtd",
                     L"BtchBookg",
                     L"NbOfTxs",
                     L"CtrlSum",
                     L"PmtTpInf",
                     L"ReqdExctnDt",
                     L"Dbtr",
                     L"DbtrAcct",
                     L"DbtrAgt",
                     L"ChrgBr",
                     L"CdtTrfTxInf"}),
              file.ChildNames(L"PmtInf"));
    EXPECT_EQ((Names{L"PmtId", L"Amt", L"CdtrAgt", L"Cdtr", L"CdtrAcct"}), file.ChildNames(L"PmtInf/CdtTrfTxInf"));
    EXPECT_EQ((Names{L"InstrId", L"EndToEndId"}), file.ChildNames(L"PmtInf/CdtTrfTxInf/PmtId"));
    EXPECT_EQ((Names{L"Id", L"Ccy"}), file.ChildNames(L"PmtInf/DbtrAcct"));
    EXPECT_EQ(L"70.00", file.TransactionText(1, L"Amt/InstdAmt"));
    EXPECT_EQ(L"70.00", file.Text(L"GrpHdr/CtrlSum"));
}

TEST_F(Pain001File, TheOinIdentifiesTheInitiatingPartyAndSumsCoverEveryPayment)
{
    AddValidPayment(*batch, L"Velmora Supplies", 10.0, L"PO 7");
    AddValidPayment(*batch, L"Velmora Tools", 0.25, L"PO 8");
    const WrittenFile twoPayments = Write(KeptForSchemaCheck("two-payments-with-oin.xml"), L"VELMORA-OIN-0042");

    EXPECT_EQ(L"VELMORA-OIN-0042", twoPayments.Text(L"GrpHdr/InitgPty/Id/PrvtId/Othr/Id"));
    EXPECT_EQ(L"2", twoPayments.Text(L"GrpHdr/NbOfTxs"));
    EXPECT_EQ(L"2", twoPayments.Text(L"PmtInf/NbOfTxs"));
    EXPECT_EQ(L"10.25", twoPayments.Text(L"GrpHdr/CtrlSum"));
    EXPECT_EQ(L"10.25", twoPayments.Text(L"PmtInf/CtrlSum"));
    EXPECT_EQ(L"10.00", twoPayments.TransactionText(1, L"Amt/InstdAmt"));

    HostRef<HostPaymentBatch> halfEuro = HostPaymentBatch::Create();
    AddValidPayment(*halfEuro, L"Velmora Supplies", 0.5, L"REF-1");
    const std::string path = KeptForSchemaCheck("single-half-euro.xml");
    ASSERT_TRUE(CreateCreditTransferFile(
        _bstr_t(L"123"), halfEuro.get(), path.c_str(), IDR_PAIN001_STYLESHEET, std::nullopt, kCreationTime));
    const WrittenFile single(path);
    // A control sum below one has no integer digit.
    EXPECT_EQ(L".50", single.Text(L"GrpHdr/CtrlSum"));
    EXPECT_EQ(L".50", single.Text(L"PmtInf/CtrlSum"));
    EXPECT_EQ(L"0.50", single.TransactionText(1, L"Amt/InstdAmt"));
    EXPECT_EQ(L"123", single.Text(L"GrpHdr/InitgPty/Id/PrvtId/Othr/Id"));
}

TEST_F(Pain001File, NamesReadBackExactlyAndTheFileIsUtf8)
{
    AddValidPayment(*batch, L"Caf\u00e9 \"Quotes\" & 'Apostrophes' <Ltd> > 1", 1.0, L"R&D <1>");
    TemporaryFolder folder;
    const WrittenFile file = Write(folder.File("names.xml"));

    EXPECT_EQ(L"Caf\u00e9 \"Quotes\" & 'Apostrophes' <Ltd> > 1", file.TransactionText(1, L"Cdtr/Nm"));
    EXPECT_EQ(L"R&D<1>00001", file.TransactionText(1, L"PmtId/InstrId"));
    EXPECT_NE(std::string::npos, file.Bytes().find("Caf\xC3\xA9 ")) << "e-acute must be written as UTF-8";
    EXPECT_EQ(std::string::npos, file.Bytes().find("<Ltd>")) << "a less-than sign must be escaped";
}

TEST_F(Pain001File, EmptyIbansGiveEmptyCountries)
{
    auto& payment = AddValidPayment(*batch, L"Velmora Supplies", 5.0, L"X");
    payment.payerIban = L"";
    payment.payeeIban = L"";
    TemporaryFolder folder;
    const WrittenFile file = Write(folder.File("no-ibans.xml"));
    EXPECT_EQ(L"", file.Text(L"PmtInf/Dbtr/PstlAdr/Ctry"));
    EXPECT_EQ(L"", file.TransactionText(1, L"Cdtr/PstlAdr/Ctry"));
}

} // namespace
