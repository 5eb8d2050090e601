// Payment runs over values no host should send: megabyte strings, NUL characters, every UTF-16
// code unit, lone surrogate halves, amounts that are not numbers, dates outside any calendar.
// Each run ends, gives every payment a code that agrees with the run's status, and writes a
// well-formed file.
#include "common/ComObject.h"
#include "component/BankPaymentService.h"

#include "HostObjects.h"
#include "PaymentServiceFixture.h"
#include "HostSettingsFixture.h"
#include "PaymentFileTestSupport.h"
#include "PaymentRunDriver.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace tavrin_host;

namespace {

std::wstring Megabyte(wchar_t unit) { return std::wstring(size_t(1) << 20, unit); }

std::wstring EveryCodeUnit()
{
    std::wstring text;
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit)
        text += static_cast<wchar_t>(unit);
    return text;
}

const std::wstring kWithNul(L"Velmora\0Supplies", 16);
const std::wstring kLoneHigh(L"Velmora \xD800 Supplies");
const std::wstring kLoneLow(L"\xDC00Velmora");
const std::wstring kTrailingHigh(L"Velmora\xDBFF");
const std::wstring kSwappedPair(L"Velmora \xDC00\xD800");

struct StringField {
    const char* name;
    HostText HostPayment::*field;
    long failureCode; // the code a value that is no valid one gives; 0 when it is not checked
};

// Every payment of the batch carries the value, so the first one puts it into the debtor too.
const StringField kStringFields[] = {
    {"payer name", &HostPayment::payerName, 25},
    {"payee name", &HostPayment::payeeName, 30},
    {"payment reference", &HostPayment::paymentReference, 0},
    {"payee reference", &HostPayment::payeeReference, 0},
    {"payer IBAN", &HostPayment::payerIban, 105},
    {"payer BIC", &HostPayment::payerBic, 106},
    {"payee IBAN", &HostPayment::payeeIban, 107},
    {"payee BIC", &HostPayment::payeeBic, 108},
};

struct HostileString {
    const char* name;
    std::wstring value;
};

const std::set<long> kKnownCodes = {0, 21, 25, 30, 34, 105, 106, 107, 108};

class HostileInput : public PaymentRunTest {
protected:
    static HostRef<HostPaymentBatch> TwoValidPayments()
    {
        HostRef<HostPaymentBatch> batch = HostPaymentBatch::Create();
        paymentfile::AddValidPayment(*batch, L"Velmora Supplies", 10.0, L"PO 7").SetOin(L"VELMORA-OIN-0042");
        paymentfile::AddValidPayment(*batch, L"Velmora Tools", 0.25, L"PO 8");
        return batch;
    }

    // Runs the batch and checks what every run must give whatever its input. Returns the
    // written file's text (empty when there is none) for checks of the case's own.
    std::string RunAndCheck(HostPaymentBatch& batch, std::function<void()> whileDetailsAreShown = nullptr)
    {
        const ULONG references = TotalRefCount(batch);
        const PaymentRunOutcome run = PaymentRunDriver(service).Run(batch, std::move(whileDetailsAreShown));
        EXPECT_EQ(S_OK, run.result);
        bool anyFailed = false;
        for (const auto& payment : batch.payments) {
            EXPECT_EQ(1u, kKnownCodes.count(payment->resultCode)) << "code " << payment->resultCode;
            anyFailed = anyFailed || payment->resultCode != 0;
        }
        EXPECT_EQ(anyFailed ? 1 : 0, run.status);
        EXPECT_TRUE(run.boxes.empty());
        EXPECT_EQ(references, TotalRefCount(batch));
        const std::vector<std::string> files = folder.Files();
        EXPECT_EQ(1u, files.size());
        if (files.size() != 1) return std::string();
        const std::string path = folder.File(files[0]);
        {
            const paymentfile::WrittenFile file(path);
            EXPECT_TRUE(file.Loaded()) << "the file must be well-formed XML";
            EXPECT_EQ(static_cast<int>(batch.payments.size()), file.TransactionCount());
        }
        std::string bytes = paymentfile::ReadBytes(path);
        DeleteFileA(path.c_str());
        return bytes;
    }
};

} // namespace

TEST_F(HostileInput, StringsOfEveryKindInEveryFieldGiveAWellFormedFile)
{
    const HostileString values[] = {
        {"a megabyte of letters", Megabyte(L'A')},
        {"a megabyte of accented letters", Megabyte(L'\u00E9')},
        {"an embedded NUL", kWithNul},
        {"every UTF-16 code unit", EveryCodeUnit()},
        {"a lone high surrogate", kLoneHigh},
        {"a lone low surrogate", kLoneLow},
        {"a trailing high surrogate", kTrailingHigh},
        {"a pair in the wrong order", kSwappedPair},
    };
    for (const StringField& field : kStringFields) {
        for (const HostileString& value : values) {
            SCOPED_TRACE(std::string(field.name) + " holds " + value.name);
            HostRef<HostPaymentBatch> batch = TwoValidPayments();
            for (auto& payment : batch->payments)
                (*payment).*field.field = value.value;

            RunAndCheck(*batch);

            // No hostile value is a valid account identifier.
            if (field.failureCode >= 105) {
                for (const auto& payment : batch->payments)
                    EXPECT_EQ(field.failureCode, payment->resultCode);
            }
        }
    }
}

// The OIN goes into the file as the host holds it after the dialog: what XML cannot hold is
// marked there. The dialog only lets through an OIN that passes its rules, so here the host's
// OIN turns hostile while the details are on screen, and the host does not take the confirmed
// one back.
TEST_F(HostileInput, AnOinOfAnyTextGivesAWellFormedFile)
{
    for (const std::wstring& oin : {kWithNul, EveryCodeUnit(), kLoneHigh, Megabyte(L'9')}) {
        SCOPED_TRACE("an OIN of " + std::to_string(oin.size()) + " units");
        HostRef<HostPaymentBatch> batch = TwoValidPayments();
        HostPayment& first = *batch->payments[0];
        const std::string bytes = RunAndCheck(*batch, [&] {
            first.SetOin(oin);
            for (const auto& entry : first.identifications->entries)
                entry->Faults().Fail("put_Value");
        });
        EXPECT_EQ(oin, batch->payments[0]->Oin()) << "the host did not take the confirmed OIN";
        if (oin == kWithNul) {
            EXPECT_NE(std::string::npos, bytes.find("Velmora?Supplies")) << "the NUL is marked";
        }
    }
}

TEST_F(HostileInput, AmountsThatAreNoPositiveNumberFailTheirCheck)
{
    const double amounts[] = {-0.0,
                              std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::max()};
    for (const double amount : amounts) {
        SCOPED_TRACE("amount " + std::to_string(amount));
        HostRef<HostPaymentBatch> batch = TwoValidPayments();
        batch->payments[1]->amount = amount;
        RunAndCheck(*batch);
        EXPECT_EQ(0, batch->payments[0]->resultCode);
        EXPECT_EQ(21, batch->payments[1]->resultCode);
    }
}

// The execution date is the run's, held by the first payment; the dialog is where it is
// confirmed. A date that names no day, left on a host that does not take the confirmed one
// back, is written as the marker -1--1--1, never as a day.
TEST_F(HostileInput, ExecutionDatesOutsideTheCalendarAreNeverWrittenAsADay)
{
    const double dates[] = {-1e9,
                            1e9,
                            std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity(),
                            2958466.0 /* the day after 31 December 9999 */,
                            -657435.0 - 1 /* the day before 1 January 100 */};
    for (const double date : dates) {
        SCOPED_TRACE("execution date " + std::to_string(date));
        HostRef<HostPaymentBatch> batch = TwoValidPayments();
        batch->payments[0]->executionDate = date;
        batch->payments[0]->Faults().Fail("put_ExecutionDate");
        const std::string bytes = RunAndCheck(*batch);
        EXPECT_NE(std::string::npos, bytes.find("<ReqdExctnDt>-1--1--1</ReqdExctnDt>"));
    }
}
