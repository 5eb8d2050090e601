#pragma once
// The payment service: the COM object through which the host hands over a batch of supplier
// payments and gets back a SEPA credit transfer file.
#include "common/ComError.h"
#include "common/ComObject.h"
#include "component/IBankServiceImpl.h"
#include "TavrinBankOfVelmoraSEPA.h"

class CBankPaymentService : public SupportErrorInfoFor<IBankPaymentService>,
                            public IBankServiceImpl<IBankPaymentService> {
public:
    using Interfaces =
        ComInterfaces<ComInterface<IBankPaymentService, IDispatch, ITavrinBankPaymentService, ITavrinBankService>,
                      ComInterface<ISupportErrorInfo>>;

    // ITavrinBankPaymentService
    HRESULT STDMETHODCALLTYPE GetResultMessage(LONG resultCode, BSTR* message) override;
    HRESULT STDMETHODCALLTYPE ProcessPayments(IPaymentBatch* batch, IUnknown* reserved) override;

protected:
    CBankPaymentService();
    ~CBankPaymentService() = default;

private:
    void RunPayments(IPaymentBatch* batch);
};
