// The payment run's dialog: shown over the run's model, owned by the calling thread's active
// window, filled from the host's first payment; what OK stores goes back into that payment, and
// anything but OK ends the run with status 3 and no file, while a failure inside the dialog
// ends it as a failure. Needs a display (Xvfb under Wine).
#include "common/ComObject.h"
#include "component/BankPaymentService.h"
#include "resources/resource.h"

#include "ComTestSupport.h"
#include "PaymentDialogUser.h"
#include "HostObjects.h"
#include "PaymentServiceFixture.h"
#include "HostSettingsFixture.h"
#include "MessageBoxWatcher.h"
#include "PaymentFileTestSupport.h"

#include <windows.h>
#include <commctrl.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <new>
#include <string>

using namespace tavrin_host;

namespace {

// A working day `days` or a little more after today, at midnight.
SYSTEMTIME WorkingDayFromToday(int days)
{
    SYSTEMTIME day;
    GetLocalTime(&day);
    day.wHour = day.wMinute = day.wSecond = day.wMilliseconds = 0;
    FILETIME time;
    SystemTimeToFileTime(&day, &time);
    ULARGE_INTEGER ticks{};
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = time.dwHighDateTime;
    for (int added = 0; added < days || day.wDayOfWeek == 0 || day.wDayOfWeek == 6; ++added) {
        ticks.QuadPart += 864000000000ULL;
        time.dwLowDateTime = ticks.LowPart;
        time.dwHighDateTime = ticks.HighPart;
        FileTimeToSystemTime(&time, &day);
    }
    return day;
}

DATE ToDate(const SYSTEMTIME& day)
{
    DATE date = 0.0;
    SystemTimeToVariantTime(const_cast<SYSTEMTIME*>(&day), &date);
    return date;
}

std::string DayText(const SYSTEMTIME& day)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02u/%02u/%04u", day.wDay, day.wMonth, day.wYear);
    return text;
}

// Stands in for a failure while the dialog stores the confirmed details (memory running out,
// say): the host's OIN entry raises when it is written.
class OinEntryThatRaises : public HostIdentification {
public:
    explicit OinEntryThatRaises(std::function<void()> raise) : m_raise(std::move(raise))
    {
        name = L"Other";
        value = L"OIN-FIRST-1";
    }
    HRESULT STDMETHODCALLTYPE put_Value(BSTR) override
    {
        m_raise();
        return S_OK;
    }

private:
    std::function<void()> m_raise;
};

// Refuses to create any dialog window on this thread while it lives.
class DialogCreationRefused {
public:
    DialogCreationRefused() { m_hook = SetWindowsHookExA(WH_CBT, Refuse, nullptr, GetCurrentThreadId()); }
    ~DialogCreationRefused() { UnhookWindowsHookEx(m_hook); }

private:
    static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam)
    {
        char className[16] = {};
        if (code == HCBT_CREATEWND) GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className);
        if (lstrcmpA(className, "#32770") == 0) return 1;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK m_hook;
};

class PaymentRunDialog : public PaymentRunTest {
protected:
    void SetUp() override
    {
        PaymentRunTest::SetUp();

        firstDay = WorkingDayFromToday(7);
        HostPayment& first = AddPayment(L"Supplier One");
        first.executionDate = ToDate(firstDay);
        first.SetOin(L"OIN-FIRST-1");
        AddPayment(L"Supplier Two");
    }

    HostPayment& AddPayment(const wchar_t* payeeName)
    {
        HostPayment& payment = batch->Add();
        payment.payerName = L"Velmora Trading Ltd";
        payment.payerIban = L"DE44500105175407324931";
        payment.payerBic = L"VELMDEFF";
        payment.payeeName = payeeName;
        payment.payeeIban = L"FR1420041010050500013M02606";
        payment.payeeBic = L"BNPAFRPP";
        payment.amount = 42.0;
        payment.paymentReference = L"INV-7";
        return payment;
    }

    HostRef<HostPaymentBatch> batch = HostPaymentBatch::Create();
    HostRef<HostPaymentBatch> reserved = HostPaymentBatch::Create();
    SYSTEMTIME firstDay{};
};

} // namespace

TEST_F(PaymentRunDialog, ShowsTheFirstPaymentsValuesAndOkWritesWhatWasTypedIntoIt)
{
    HWND host = CreateWindowExA(
        0, "STATIC", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    SetActiveWindow(host);
    ASSERT_EQ(host, GetActiveWindow());

    SYSTEMTIME picked = WorkingDayFromToday(14);
    std::string dateText, oin, path;
    HWND owner = nullptr;
    BOOL hostEnabled = TRUE;
    HRESULT result = E_FAIL;
    {
        // Answers the boxes the run may show after the dialog, such as a failed file.
        MessageBoxWatcher boxes;
        RunWithUser([&] { result = service->ProcessPayments(batch.get(), reserved.get()); },
                    [&](PaymentDialogUser&, HWND dialog) {
                        dateText = PaymentDialogUser::TextOf(GetDlgItem(dialog, IDC_SEPA_EXECUTION_DATE));
                        oin = PaymentDialogUser::TextOf(GetDlgItem(dialog, IDC_SEPA_OIN));
                        path = PaymentDialogUser::TextOf(GetDlgItem(dialog, IDC_SEPA_FILE_PATH));
                        owner = GetWindow(dialog, GW_OWNER);
                        hostEnabled = IsWindowEnabled(host);

                        SendMessageA(GetDlgItem(dialog, IDC_SEPA_EXECUTION_DATE),
                                     DTM_SETSYSTEMTIME,
                                     GDT_VALID,
                                     reinterpret_cast<LPARAM>(&picked));
                        PaymentDialogUser::SetField(dialog, IDC_SEPA_OIN, "  new-OIN 22 ");
                        PaymentDialogUser::Press(dialog, IDOK);
                    });
    }
    DestroyWindow(host);

    EXPECT_EQ(S_OK, result);
    EXPECT_EQ(DayText(firstDay), dateText);
    EXPECT_EQ("OIN-FIRST-1", oin);
    EXPECT_EQ(0u, path.find(folder.File("BOV"))) << path;
    EXPECT_NE(std::string::npos, path.find("PAIN001.xml")) << path;
    EXPECT_EQ(host, owner) << "owned by the calling thread's active window";
    EXPECT_FALSE(hostEnabled) << "the owner waits while the dialog is up";

    EXPECT_NE(3, Status()) << "the run went on past the dialog";
    const HostPayment& first = *batch->payments[0];
    const HostPayment& second = *batch->payments[1];
    EXPECT_EQ(L"new-OIN 22", first.Oin()) << "trimmed, case kept";
    EXPECT_EQ(std::floor(ToDate(picked)), std::floor(first.executionDate));
    EXPECT_EQ(L"", second.Oin()) << "only the first payment carries the batch's values";
    EXPECT_EQ(0.0, second.executionDate);
}

TEST_F(PaymentRunDialog, CancelEndsTheRunWithStatusThreeAndNoFileButThePaymentsAreChecked)
{
    // Values the checks rewrite, so that the host can be seen to hold the rewritten ones.
    HostPayment& first = *batch->payments[0];
    first.payerIban = L"de44 5001 0517 5407 3249 31";
    first.payerBic = L"velm de ff";
    first.payeeName = L"  Fran\u00E7ois L\u00E9v\u00EAque ";
    first.paymentReference = L"Facture \u00E9t\u00E9 7";
    HostPayment& second = *batch->payments[1];
    second.payeeBic = L"bnpa fr";

    HRESULT result = E_FAIL;
    std::string question;
    RunWithUser([&] { result = service->ProcessPayments(batch.get(), reserved.get()); },
                [&](PaymentDialogUser& user, HWND dialog) {
                    PaymentDialogUser::SetField(dialog, IDC_SEPA_OIN, "CHANGED-1");
                    PaymentDialogUser::Press(dialog, IDCANCEL);
                    question = user.AnswerMessageBox("Processing Details", IDYES);
                });

    EXPECT_EQ(S_OK, result);
    EXPECT_EQ("Are you sure you wish to abandon credit transfer?", question);
    EXPECT_EQ(3, Status());
    EXPECT_TRUE(folder.Files().empty());
    EXPECT_EQ(L"OIN-FIRST-1", first.Oin());
    EXPECT_EQ(ToDate(firstDay), first.executionDate);

    EXPECT_EQ(0, first.resultCode);
    EXPECT_EQ(L"DE44500105175407324931", first.payerIban);
    EXPECT_EQ(L"VELMDEFF", first.payerBic);
    EXPECT_EQ(L"Francois Leveque", first.payeeName);
    EXPECT_EQ(L"Facture ete 7", first.paymentReference);
    EXPECT_EQ(108, second.resultCode) << "the payee's BIC is too short";
    EXPECT_EQ(L"BNPAFR", second.payeeBic);
}

// The failure goes to the host the way a failure anywhere else in the run does: not as a
// cancel, with the status the run had, no file, and every reference given back.
TEST_F(PaymentRunDialog, AFailureInsideTheDialogEndsTheRunAsAFailureNotACancel)
{
    struct Failure {
        const char* what;
        std::function<void()> raise;
        HRESULT expected;
        const wchar_t* description; // empty: no error information
    };
    const Failure failures[] = {
        {"a standard exception", [] { throw std::bad_alloc(); }, E_UNEXPECTED, L""},
        {"a raised HRESULT",
         [] { throw static_cast<HRESULT>(E_OUTOFMEMORY); },
         static_cast<HRESULT>(0x800AFFFD),
         L"Out of Memory"},
    };
    HostPayment& first = *batch->payments[0];
    for (const Failure& failure : failures) {
        first.identifications->entries.assign(1, HostRef<HostIdentification>(new OinEntryThatRaises(failure.raise)));
        const ULONG references = TotalRefCount(*batch);
        service->put_Status(1);
        testsupport::ClearErrorInfo();

        HRESULT result = E_FAIL;
        HWND shown = nullptr;
        RunWithUser([&] { result = service->ProcessPayments(batch.get(), reserved.get()); },
                    [&](PaymentDialogUser&, HWND dialog) {
                        shown = dialog;
                        PaymentDialogUser::SetField(dialog, IDC_SEPA_OIN, "CHANGED-1");
                        PaymentDialogUser::Press(dialog, IDOK);
                    });

        EXPECT_EQ(failure.expected, result) << failure.what;
        EXPECT_EQ(failure.description, testsupport::TakeErrorDescription()) << failure.what;
        EXPECT_EQ(0, Status()) << failure.what << ": the run had started and keeps its status";
        EXPECT_FALSE(IsWindow(shown)) << failure.what << ": the dialog is destroyed";
        EXPECT_TRUE(folder.Files().empty()) << failure.what;
        EXPECT_EQ(0, first.resultCode) << failure.what << ": the checks' codes stay";
        EXPECT_EQ(references, TotalRefCount(*batch)) << failure.what;
        EXPECT_EQ(0, settings.Calls().liveObjects) << failure.what;
    }
}

TEST_F(PaymentRunDialog, ADialogThatCannotOpenEndsTheRunWithStatusThree)
{
    service->put_Status(1);
    HRESULT result = E_FAIL;
    {
        DialogCreationRefused refused;
        result = service->ProcessPayments(batch.get(), reserved.get());
    }

    EXPECT_EQ(S_OK, result);
    EXPECT_EQ(3, Status());
    EXPECT_TRUE(folder.Files().empty());
    EXPECT_EQ(L"OIN-FIRST-1", batch->payments[0]->Oin());
}
