#pragma once
// Drives whole payment runs as the host and its user do. Every test of a whole run goes
// through here, so that what a run asks of the user (the payment details, the message boxes)
// is answered in this one place.
#include "HostObjects.h"
#include "MessageBoxWatcher.h"
#include "TavrinBankPayments.h"

#include <functional>
#include <vector>

struct PaymentRunOutcome {
    HRESULT result = E_FAIL;
    LONG status = -1;
    // The message boxes of the run, in the order they appeared.
    std::vector<tavrin_host::MessageBoxRecord> boxes;
    // Whether the run got as far as the user confirming the payment details.
    bool detailsConfirmed = false;
};

class PaymentRunDriver {
public:
    // Borrows the service for as long as the driver lives.
    explicit PaymentRunDriver(ITavrinBankPaymentService* service);

    // A run in which the user confirms the payment details: the next working day as the
    // execution date (the batches' own dates lie long past, which the dialog refuses), their
    // bank's OIN, kOin (typed in, so that it is there even when the host cannot show the one
    // it holds), and the save path as shown. Other message boxes are answered OK, and No where
    // a box asks a question, so that no folder window opens. The picked date and the OIN are
    // written back into the first payment, as confirmed details are.
    PaymentRunOutcome Run(tavrin_host::HostPaymentBatch& batch);

    // The same, with something happening while the payment details are on screen, before the
    // user confirms them: the world changing under the run between the dialog and the save.
    PaymentRunOutcome Run(tavrin_host::HostPaymentBatch& batch, std::function<void()> whileDetailsAreShown);

    static constexpr wchar_t kOin[] = L"VELMORA-OIN-0042";
    // The day the user picks, at midnight; the first payment gets it with the time of day the
    // date picker held.
    static DATE PickedDay();

private:
    ITavrinBankPaymentService* m_service;
    tavrin_host::HostRef<tavrin_host::HostPaymentBatch> m_reserved = tavrin_host::HostPaymentBatch::Create();
};
