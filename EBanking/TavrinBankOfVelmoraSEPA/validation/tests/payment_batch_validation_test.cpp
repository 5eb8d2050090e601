// The validation of a host payment batch: the result code each payment ends with, the values
// written back into it, the batch's verdict and run status, and the host references given back
// on every way out.
#include "validation/EmbeddedMappings.h"
#include "validation/PaymentBatchValidation.h"

#include "HostObjects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>

using namespace tavrin_host;

namespace {

const LONG kInvalidAmount = 21, kAmountTooLong = 32, kInvalidPayerName = 25, kInvalidPayeeName = 30,
           kMissingPaymentDetails = 33, kInvalidCurrency = 34;
const LONG kInvalidPayerIban = 105, kInvalidPayerBic = 106, kInvalidPayeeIban = 107, kInvalidPayeeBic = 108;

std::istringstream MissingEmbeddedTable()
{
    // The component's own lookup, in a module that carries no table.
    LoadEmbeddedMappingBytes(GetModuleHandleW(L"kernel32.dll"));
    throw std::logic_error("kernel32 carries a mapping table");
}

class BatchValidation : public testing::Test {
protected:
    // A payment that passes every check.
    HostPayment& AddValidPayment()
    {
        HostPayment& payment = batch->Add();
        payment.payerIban = L"DE44500105175407324931";
        payment.payerBic = L"VELMDEFFXXX";
        payment.payeeIban = L"FR1420041010050500013M02606";
        payment.payeeBic = L"BNPAFRPP";
        payment.amount = 125.5;
        payment.payerName = L"Velmora Trading Ltd";
        payment.payeeName = L"Supplier One";
        payment.paymentReference = L"INV 2024 001";
        return payment;
    }

    // Validates the batch and checks that every reference the validation took was released.
    bool Validate(const CCharacterMap::EmbeddedSource& embedded = &ReadEmbeddedMappings)
    {
        const ULONG references = TotalRefCount(*batch);
        const bool passed = ValidatePaymentBatch(batch.get(), overridePath, status, embedded);
        EXPECT_EQ(references, TotalRefCount(*batch)) << "host references left behind";
        return passed;
    }

    HostRef<HostPaymentBatch> batch = HostPaymentBatch::Create();
    LONG status = 0;
    // No override file unless a test names one.
    std::string overridePath;
};

} // namespace

TEST_F(BatchValidation, AnEmptyBatchPassesButStillNeedsItsMappingTable)
{
    EXPECT_TRUE(Validate());
    EXPECT_EQ(0, status);

    EXPECT_FALSE(Validate(&MissingEmbeddedTable));
    EXPECT_EQ(2, status);
}

TEST_F(BatchValidation, ValidPaymentsPassWithCodeZero)
{
    AddValidPayment();
    HostPayment& second = AddValidPayment();
    second.payerIban = L" xx12 abcd 3456";
    second.payerBic = L"velm de ff";

    EXPECT_TRUE(Validate());
    EXPECT_EQ(0, status);
    for (const auto& payment : batch->payments)
        EXPECT_EQ(0, payment->resultCode);
    // Spaces go; the IBAN's country code and the whole BIC are upper-cased.
    EXPECT_EQ(L"XX12abcd3456", second.payerIban);
    EXPECT_EQ(L"VELMDEFF", second.payerBic);
    EXPECT_EQ(125.5, second.amount);
}

TEST_F(BatchValidation, EachIdentifierIsWrittenBackNormalisedEvenWhenItFails)
{
    HostPayment& payerIban = AddValidPayment();
    payerIban.payerIban = L"de44 5001-0517";
    HostPayment& payerBic = AddValidPayment();
    payerBic.payerBic = L"velm de 1f";
    HostPayment& payeeIban = AddValidPayment();
    payeeIban.payeeIban = L"fr 14";
    HostPayment& payeeBic = AddValidPayment();
    payeeBic.payeeBic = L"bnpa fr pp x";

    EXPECT_FALSE(Validate());
    EXPECT_EQ(0, status) << "failed checks are no failure of the batch";
    EXPECT_EQ(kInvalidPayerIban, payerIban.resultCode);
    EXPECT_EQ(L"DE445001-0517", payerIban.payerIban);
    EXPECT_EQ(kInvalidPayerBic, payerBic.resultCode);
    EXPECT_EQ(L"VELMDE1F", payerBic.payerBic);
    EXPECT_EQ(kInvalidPayeeIban, payeeIban.resultCode);
    EXPECT_EQ(L"fr14", payeeIban.payeeIban) << "too short: only the spaces go";
    EXPECT_EQ(kInvalidPayeeBic, payeeBic.resultCode);
    EXPECT_EQ(L"BNPAFRPPX", payeeBic.payeeBic);
}

TEST_F(BatchValidation, TheLastFailingCheckGivesTheCode)
{
    HostPayment& ibanAndCurrency = AddValidPayment();
    ibanAndCurrency.payerIban = L"not an iban";
    ibanAndCurrency.currency2 = 826;
    HostPayment& firstCurrency = AddValidPayment();
    firstCurrency.currency1 = 826;
    HostPayment& ibanAndBic = AddValidPayment();
    ibanAndBic.payerIban = L"not an iban";
    ibanAndBic.payeeBic = L"";
    HostPayment& ibanAndAmount = AddValidPayment();
    ibanAndAmount.payerIban = L"not an iban";
    ibanAndAmount.amount = 0.0;
    HostPayment& bicAndName = AddValidPayment();
    bicAndName.payerBic = L"";
    bicAndName.payeeName = L"--";

    EXPECT_FALSE(Validate());
    EXPECT_EQ(kInvalidCurrency, ibanAndCurrency.resultCode);
    EXPECT_EQ(0.0, ibanAndCurrency.amount) << "an amount in another currency is cleared";
    EXPECT_EQ(L"NOtaniban", ibanAndCurrency.payerIban);
    EXPECT_EQ(kInvalidCurrency, firstCurrency.resultCode);
    EXPECT_EQ(0.0, firstCurrency.amount);
    EXPECT_EQ(kInvalidPayeeBic, ibanAndBic.resultCode);
    EXPECT_EQ(kInvalidAmount, ibanAndAmount.resultCode);
    EXPECT_EQ(kInvalidPayeeName, bicAndName.resultCode);
}

TEST_F(BatchValidation, OnlyAFinitePositiveAmountPasses)
{
    const double amounts[] = {
        0.0, -0.01, -250.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()};
    for (double amount : amounts)
        AddValidPayment().amount = amount;
    AddValidPayment().amount = 0.01;

    EXPECT_FALSE(Validate());
    for (size_t i = 0; i + 1 < batch->payments.size(); ++i) {
        EXPECT_EQ(kInvalidAmount, batch->payments[i]->resultCode) << amounts[i];
        if (!std::isnan(amounts[i])) {
            EXPECT_EQ(amounts[i], batch->payments[i]->amount) << "not written back";
        }
    }
    EXPECT_EQ(0, batch->payments.back()->resultCode);
}

TEST_F(BatchValidation, AmountsTheFileCannotCarryFail)
{
    // Two decimals in the file: below half a cent the payment would read 0.00.
    AddValidPayment().amount = 0.004;
    AddValidPayment().amount = 0.005;
    // At most eleven digits, 999,999,999.99.
    AddValidPayment().amount = 999999999.99;
    AddValidPayment().amount = 999999999.995;
    AddValidPayment().amount = 1e300;

    EXPECT_FALSE(Validate());
    EXPECT_EQ(kInvalidAmount, batch->payments[0]->resultCode);
    EXPECT_EQ(0, batch->payments[1]->resultCode);
    EXPECT_EQ(0, batch->payments[2]->resultCode);
    EXPECT_EQ(kAmountTooLong, batch->payments[3]->resultCode);
    EXPECT_EQ(kAmountTooLong, batch->payments[4]->resultCode);
    EXPECT_EQ(1e300, batch->payments[4]->amount) << "the host's amount is left as it was";
}

TEST_F(BatchValidation, NamesAndTheReferenceAreTransliteratedCutAndTrimmed)
{
    HostPayment& accented = AddValidPayment();
    accented.payerName = L"M\u00FCller & S\u00F6hne";
    accented.payeeName = L"  \u00C6r\u00F8 Fisk A/S. ";
    accented.paymentReference = L"~(INV) 2024/001 ~";
    HostPayment& longNames = AddValidPayment();
    longNames.payerName = std::wstring(80, L'p');
    longNames.payeeName = L"   " + std::wstring(70, L'q');
    longNames.paymentReference = L"";
    HostPayment& foreign = AddValidPayment();
    foreign.payerName = L"Li \u4E2D\u6587";
    foreign.payeeName = L"Tab\there\r\nand there";
    HostPayment& punctuation = AddValidPayment();
    punctuation.payerName = L"--";

    EXPECT_FALSE(Validate());
    EXPECT_EQ(0, accented.resultCode);
    EXPECT_EQ(L"Muller + Sohne", accented.payerName);
    EXPECT_EQ(L"Aro Fisk A/S", accented.payeeName);
    EXPECT_EQ(L"INV) 2024/001", accented.paymentReference);

    EXPECT_EQ(0, longNames.resultCode) << "an empty reference is no failure";
    EXPECT_EQ(std::wstring(70, L'p'), longNames.payerName);
    EXPECT_EQ(std::wstring(67, L'q'), longNames.payeeName) << "cut to 70 first, then trimmed";
    EXPECT_EQ(L"", longNames.paymentReference);

    EXPECT_EQ(0, foreign.resultCode);
    EXPECT_EQ(L"Li", foreign.payerName) << "characters beyond the code page are not letters";
    EXPECT_EQ(L"Tab here  and there", foreign.payeeName);

    EXPECT_EQ(kInvalidPayerName, punctuation.resultCode);
    EXPECT_EQ(L"", punctuation.payerName);
}

// Without IPaymentEx the payment's details cannot be read: it fails, and the batch with it, as
// one the batch cannot deliver does; nothing else of it is written.
TEST_F(BatchValidation, APaymentWithoutTheExtendedInterfaceFailsTheBatchAndKeepsItsValues)
{
    HostPayment& plain = batch->Add(false);
    plain.payerName = L"--";
    plain.payeeName = L"  M\u00FCller ";
    plain.amount = -5.0;
    plain.currency1 = 826;
    HostPayment& after = AddValidPayment();
    after.payerBic = L"velm de ff";

    EXPECT_FALSE(Validate());
    EXPECT_EQ(2, status);
    EXPECT_EQ(kMissingPaymentDetails, plain.resultCode);
    EXPECT_EQ(L"--", plain.payerName);
    EXPECT_EQ(L"  M\u00FCller ", plain.payeeName);
    EXPECT_EQ(-5.0, plain.amount);
    EXPECT_EQ(0, after.resultCode);
    EXPECT_EQ(L"VELMDEFF", after.payerBic) << "the payments after it are still checked";
}

// Names go back through the code page they were narrowed in: the thread's, here Windows-1251,
// where the process's is Windows-1252. The numero sign is in the first only.
TEST_F(BatchValidation, NamesComeBackWholeWhenTheThreadAndProcessCodePagesDiffer)
{
    HostPayment& payment = AddValidPayment();
    payment.payeeName = L"Acme \u2116 5";
    const LCID previous = GetThreadLocale();
    ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT)));
    char numero = 0;
    WideCharToMultiByte(CP_THREAD_ACP, 0, L"\u2116", 1, &numero, 1, nullptr, nullptr);
    const bool passed = Validate();
    SetThreadLocale(previous);

    ASSERT_EQ(1252u, GetACP());
    ASSERT_EQ('\xB9', numero) << "the thread's code page is Windows-1251";
    EXPECT_TRUE(passed);
    EXPECT_EQ(L"Acme \u2116 5", payment.payeeName);
}

TEST_F(BatchValidation, ABatchThatCannotDeliverAPaymentFailsThere)
{
    for (int i = 0; i < 3; ++i)
        AddValidPayment().payerBic = L"velm de ff";
    batch->failingItem = 1;

    EXPECT_FALSE(Validate());
    EXPECT_EQ(2, status);
    EXPECT_EQ(0, batch->payments[0]->resultCode);
    EXPECT_EQ(L"VELMDEFF", batch->payments[0]->payerBic);
    EXPECT_EQ(-1, batch->payments[2]->resultCode) << "payments after the failure are not touched";
    EXPECT_EQ(L"velm de ff", batch->payments[2]->payerBic);

    batch->failingItem = -1;
    batch->Faults().Fail("get_Count");
    status = 0;
    EXPECT_FALSE(Validate()) << "a batch whose size is unknown cannot be called valid";
    EXPECT_EQ(2, status);
}

// Stands in for memory running out while a payment is in hand: reading its payee name throws.
class PaymentThatThrows : public HostPayment {
public:
    HRESULT STDMETHODCALLTYPE get_PayeeAccountName(BSTR*) override { throw std::bad_alloc(); }
};

TEST_F(BatchValidation, AFailureInsideEndsTheWalkAndGivesBackEveryReference)
{
    AddValidPayment().payerBic = L"velm de ff";
    batch->payments.push_back(HostRef<HostPayment>(new PaymentThatThrows));
    HostPayment& throwing = *batch->payments.back().get();
    throwing.payerIban = L"xx12 abcd 3456";
    throwing.amount = -1.0;
    throwing.payerName = L"Velmora Trading Ltd";
    AddValidPayment().payerBic = L"velm de ff";

    EXPECT_FALSE(Validate());
    EXPECT_EQ(2, status);
    EXPECT_EQ(L"VELMDEFF", batch->payments[0]->payerBic);
    EXPECT_EQ(kInvalidAmount, throwing.resultCode) << "what was written before the failure stays";
    EXPECT_EQ(L"XX12abcd3456", throwing.payerIban);
    EXPECT_EQ(-1, batch->payments[2]->resultCode);
    EXPECT_EQ(L"velm de ff", batch->payments[2]->payerBic);
}

TEST_F(BatchValidation, AValueTheHostCannotDeliverFailsItsCheckAndIsNotOverwritten)
{
    HostPayment& iban = AddValidPayment();
    iban.payerIban = L"de44 5001 0517 5407 3249 31";
    iban.Faults().Fail("get_PayerIBAN");
    HostPayment& name = AddValidPayment();
    name.payeeName = L"  Supplier One ";
    name.Faults().Fail("get_PayeeAccountName");
    HostPayment& reference = AddValidPayment();
    reference.paymentReference = L" INV 7 ";
    reference.Faults().Fail("get_PaymentReference");
    HostPayment& amount = AddValidPayment();
    amount.Faults().Fail("get_Amount");
    HostPayment& currency = AddValidPayment();
    currency.Faults().Fail("get_CurrencyCode1");

    EXPECT_FALSE(Validate());
    EXPECT_EQ(kInvalidPayerIban, iban.resultCode);
    EXPECT_EQ(L"de44 5001 0517 5407 3249 31", iban.payerIban);
    EXPECT_EQ(kInvalidPayeeName, name.resultCode);
    EXPECT_EQ(L"  Supplier One ", name.payeeName);
    EXPECT_EQ(0, reference.resultCode);
    EXPECT_EQ(L" INV 7 ", reference.paymentReference);
    EXPECT_EQ(kInvalidAmount, amount.resultCode);
    EXPECT_EQ(kInvalidCurrency, currency.resultCode);
    EXPECT_EQ(0.0, currency.amount);
}

TEST_F(BatchValidation, IdentifierCharactersWithoutAByteFailTheCheckRatherThanCutTheValue)
{
    HostPayment& euro = AddValidPayment();
    euro.payerIban = L"DE44 5001 0517 \u20AC";
    HostPayment& nul = AddValidPayment();
    nul.payeeIban = std::wstring(L"FR14200410100505\0XY", 19);
    HostPayment& overlong = AddValidPayment();
    overlong.payeeBic = std::wstring(300, L'b');
    HostPayment& control = AddValidPayment();
    control.payerBic = L"VELM\u0080DEFF"; // a byte that Windows-1252 reads as the euro sign

    EXPECT_FALSE(Validate());
    EXPECT_EQ(kInvalidPayerIban, euro.resultCode);
    EXPECT_EQ(L"DE4450010517?", euro.payerIban);
    EXPECT_EQ(kInvalidPayeeIban, nul.resultCode);
    EXPECT_EQ(L"FR14200410100505?XY", nul.payeeIban);
    EXPECT_EQ(kInvalidPayeeBic, overlong.resultCode);
    EXPECT_EQ(std::wstring(255, L'B'), overlong.payeeBic);
    EXPECT_EQ(kInvalidPayerBic, control.resultCode);
    EXPECT_EQ(L"VELM\u0080DEFF", control.payerBic) << "written back as read";
}

TEST_F(BatchValidation, AMegabyteReferenceGoesThroughWhole)
{
    const std::wstring unit = L"Zo\u00EB-\u010Capek ";
    const std::string cleanUnit = "Zoe-Capek ";
    std::wstring reference = L"~";
    std::wstring expected;
    while (reference.size() < (size_t(1) << 20)) {
        reference += unit;
        expected += std::wstring(cleanUnit.begin(), cleanUnit.end());
    }
    expected.pop_back(); // the trailing space is trimmed
    HostPayment& payment = AddValidPayment();
    payment.paymentReference = reference;

    EXPECT_TRUE(Validate());
    EXPECT_EQ(0, payment.resultCode);
    EXPECT_EQ(expected.size(), payment.paymentReference.size());
    EXPECT_TRUE(expected == payment.paymentReference);
}

// An override file of this test's own, in the temporary folder.
class OverrideFile : public BatchValidation {
protected:
    void SetUp() override
    {
        overridePath = (std::filesystem::temp_directory_path() / "payment_batch_validation_mappings.csv").string();
        std::filesystem::remove(overridePath);
    }
    void TearDown() override { std::filesystem::remove(overridePath); }

    void WriteOverride(const char* text) { std::ofstream(overridePath, std::ios::binary) << text; }
};

TEST_F(OverrideFile, ReplacesTheEmbeddedTableAndIsReadAgainAtEveryRun)
{
    HostPayment& payment = AddValidPayment();
    payment.payerName = L"Anna & Co";

    WriteOverride("U+0041,U+0042\r\n");
    EXPECT_TRUE(Validate(&MissingEmbeddedTable)) << "with the file, the embedded table is not read";
    EXPECT_EQ(L"Bnna & Co", payment.payerName);

    WriteOverride("U+0041,U+0043\r\n");
    payment.payerName = L"Anna & Co";
    EXPECT_TRUE(Validate());
    EXPECT_EQ(L"Cnna & Co", payment.payerName);

    std::filesystem::remove(overridePath);
    payment.payerName = L"Anna & Co";
    EXPECT_TRUE(Validate());
    EXPECT_EQ(L"Anna + Co", payment.payerName);
}
