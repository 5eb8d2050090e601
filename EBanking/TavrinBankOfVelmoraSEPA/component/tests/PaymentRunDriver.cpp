#include "PaymentRunDriver.h"

#include "PaymentDialogUser.h"

#include <oleauto.h>

#include <utility>

using namespace tavrin_host;

PaymentRunDriver::PaymentRunDriver(ITavrinBankPaymentService* service) : m_service(service) {}

PaymentRunOutcome PaymentRunDriver::Run(HostPaymentBatch& batch) { return Run(batch, nullptr); }

DATE PaymentRunDriver::PickedDay()
{
    SYSTEMTIME day = PickNextWorkingDayAndConfirm().date;
    day.wHour = day.wMinute = day.wSecond = day.wMilliseconds = 0;
    DATE date = 0.0;
    SystemTimeToVariantTime(&day, &date);
    return date;
}

PaymentRunOutcome PaymentRunDriver::Run(HostPaymentBatch& batch, std::function<void()> whileDetailsAreShown)
{
    PaymentDialogInput details = PickNextWorkingDayAndConfirm();
    details.oinGiven = true;
    details.oin = kOin;
    details.whileShown = std::move(whileDetailsAreShown);

    PaymentRunOutcome outcome;
    {
        PaymentDialogUser user(std::move(details));
        MessageBoxWatcher watcher(user.Policy());
        outcome.result = m_service->ProcessPayments(&batch, m_reserved.get());
        outcome.boxes = watcher.Boxes();
        outcome.detailsConfirmed = user.LastConfirmed();
    }
    m_service->get_Status(&outcome.status);
    return outcome;
}
