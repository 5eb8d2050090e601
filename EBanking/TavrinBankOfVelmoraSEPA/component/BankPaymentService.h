#pragma once
// The payment service: the COM object through which the host hands over a batch of supplier
// payments and gets back a SEPA credit transfer file.
#include "component/IBankServiceImpl.h"
#include "TavrinBankOfVelmoraSEPA.h"

class CBankPaymentService : public ISupportErrorInfo, public IBankServiceImpl<IBankPaymentService> {
public:
    using IdentityInterface = IBankPaymentService;
    static const CLSID& ClassId() { return CLSID_BankPaymentService; }

    // ITavrinBankPaymentService
    HRESULT STDMETHODCALLTYPE GetResultMessage(LONG resultCode, BSTR* message) override;
    HRESULT STDMETHODCALLTYPE ProcessPayments(IPaymentBatch* batch, IUnknown* reserved) override;

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

    void* InternalQueryInterface(REFIID riid);

protected:
    CBankPaymentService();
    ~CBankPaymentService() = default;

private:
    void RunPayments(IPaymentBatch* batch);
};
