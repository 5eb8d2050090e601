#include "component/BankServices.h"

#include "common/ComObject.h"
#include "component/BankPaymentService.h"

CBankServices::CBankServices()
{
    RemoveAll();
    IBankPaymentService* service = nullptr;
    const HRESULT hr = CreateComObject<CBankPaymentService>(nullptr, __uuidof(IBankPaymentService),
                                                            reinterpret_cast<void**>(&service));
    if (FAILED(hr)) throw ReportHResult(hr);
    try {
        Add(service);
    } catch (...) {
        service->Release();
        throw;
    }
    service->Release();
}

CBankServices::~CBankServices()
{
    RemoveAll();
}

void* CBankServices::InternalQueryInterface(REFIID riid)
{
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IBankServices) ||
        riid == __uuidof(ITavrinBankServices))
        return static_cast<IBankServices*>(this);
    if (riid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CBankServices::InterfaceSupportsErrorInfo(REFIID riid)
{
    return riid == __uuidof(IBankServices) ? S_OK : S_FALSE;
}
