// A payment run checks every payment before anything else: the codes and normalised values it
// leaves on the host's payments, and what a failed payment means for the run.
#include "common/ComObject.h"
#include "component/BankPaymentService.h"

#include "ComTestSupport.h"
#include "HostObjects.h"
#include "PaymentServiceFixture.h"
#include "HostSettingsFixture.h"
#include "MessageBoxWatcher.h"
#include "PaymentDialogUser.h"
#include "PaymentFileTestSupport.h"

#include <gtest/gtest.h>

using namespace tavrin_host;

namespace {

class PaymentRunValidation : public PaymentRunTest {
protected:
    HostPayment& AddPayment(const wchar_t* payeeName, const wchar_t* payeeIban)
    {
        HostPayment& payment = batch->Add();
        payment.payerIban = L"de44 5001 0517 5407 3249 31";
        payment.payerBic = L"velmdeff";
        payment.payeeIban = payeeIban;
        payment.payeeBic = L"BNPAFRPP";
        payment.amount = 42.0;
        payment.payerName = L"Velmora Trading Ltd";
        payment.payeeName = payeeName;
        payment.paymentReference = L"INV-7";
        return payment;
    }

    HostRef<HostPaymentBatch> batch = HostPaymentBatch::Create();
    HostRef<HostPaymentBatch> reserved = HostPaymentBatch::Create();
};

} // namespace

TEST_F(PaymentRunValidation, EveryPaymentCarriesItsCodeAndNormalisedValues)
{
    HostPayment& good = AddPayment(L"  Fran\u00E7ois L\u00E9v\u00EAque ", L"fr14 2004 1010 0505 0001 3m02 606");
    HostPayment& bad = AddPayment(L"Supplier Two", L"FR14-2004");
    bad.currency1 = 826;
    HostPayment& plain = batch->Add(false);
    plain.payeeName = L"  untouched ";

    // With an OIN to confirm the dialog adds no identification entry to the batch.
    good.SetOin(L"VELMORA01");
    PaymentDialogUser user(ConfirmAsShown());
    MessageBoxWatcher boxes(user.Policy());
    const ULONG references = TotalRefCount(*batch);
    EXPECT_EQ(S_OK, service->ProcessPayments(batch.get(), reserved.get()));

    EXPECT_EQ(0, good.resultCode);
    EXPECT_EQ(L"DE44500105175407324931", good.payerIban);
    EXPECT_EQ(L"VELMDEFF", good.payerBic);
    EXPECT_EQ(L"FR1420041010050500013m02606", good.payeeIban);
    EXPECT_EQ(L"Francois Leveque", good.payeeName);
    EXPECT_EQ(42.0, good.amount);

    EXPECT_EQ(34, bad.resultCode) << "the currency is checked last";
    EXPECT_EQ(L"FR14-2004", bad.payeeIban);
    EXPECT_EQ(0.0, bad.amount);

    EXPECT_EQ(33, plain.resultCode) << "a payment without its details fails";
    EXPECT_EQ(L"  untouched ", plain.payeeName);

    LONG status = -1;
    EXPECT_EQ(S_OK, service->get_Status(&status));
    EXPECT_NE(0, status) << "a run with a failed payment never reports that all is well";
    EXPECT_EQ(references, TotalRefCount(*batch));
}
