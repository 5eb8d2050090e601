#include "PaymentRunDriver.h"

using namespace tavrin_host;

namespace {

// The call with which the run reads the confirmed details back from the host after the dialog:
// the OIN, held in the first payment's identifications.
const char kReadAfterConfirming[] = "get_Identifications";

int AnswerLikeACarefulUser(const MessageBoxRecord&, HWND window)
{
    if (GetDlgItem(window, IDOK)) return IDOK;
    if (GetDlgItem(window, IDNO)) return IDNO;
    return IDCANCEL;
}

} // namespace

PaymentRunDriver::PaymentRunDriver(ITavrinBankPaymentService* service) : m_service(service) {}

PaymentRunOutcome PaymentRunDriver::Run(HostPaymentBatch& batch)
{
    return Run(batch, nullptr);
}

// The payment details dialog of today confirms the details as soon as it is opened, and shows
// no window to answer; the run then reads the OIN back from the first payment. A change of the
// world "while the details are shown" is therefore made just before that read. A dialog that
// opens a window is answered here instead, before its OK is pressed.
PaymentRunOutcome PaymentRunDriver::Run(HostPaymentBatch& batch, std::function<void()> whileDetailsAreShown)
{
    PaymentRunOutcome outcome;
    HostPayment* first = batch.payments.empty() ? nullptr : batch.payments.front().get();
    if (first) {
        first->Faults().BeforeNextCall(kReadAfterConfirming, [&outcome, whileDetailsAreShown] {
            if (whileDetailsAreShown) whileDetailsAreShown();
            outcome.detailsConfirmed = true;
        });
    }
    {
        MessageBoxWatcher watcher(AnswerLikeACarefulUser);
        outcome.result = m_service->ProcessPayments(&batch, m_reserved.get());
        outcome.boxes = watcher.Boxes();
    }
    if (first) first->Faults().BeforeNextCall(kReadAfterConfirming, nullptr);
    m_service->get_Status(&outcome.status);
    return outcome;
}
