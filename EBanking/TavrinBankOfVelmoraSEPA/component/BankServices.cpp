#include "component/BankServices.h"

#include "common/ComObject.h"
#include "component/BankPaymentService.h"

CBankServices::CBankServices()
{
    RemoveAll();
    ComPtr<IBankPaymentService> service;
    const HRESULT hr = CreateComObject<CBankPaymentService>(
        nullptr, __uuidof(IBankPaymentService), reinterpret_cast<void**>(&service));
    if (FAILED(hr)) throw ReportHResult(hr);
    Add(service);
}

CBankServices::~CBankServices() { RemoveAll(); }
