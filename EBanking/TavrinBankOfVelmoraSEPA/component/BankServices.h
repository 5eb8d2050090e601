#pragma once
// The collection of the bank's services; this bank offers one, the payment service.
#include "component/IBankServicesImpl.h"

#include "TavrinBankOfVelmoraSEPA.h"

class CBankServices : public ISupportErrorInfo, public IBankServicesImpl<IBankServices> {
public:
    using IdentityInterface = IBankServices;

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;
    void* InternalQueryInterface(REFIID riid);

protected:
    // Creates the payment service and adds it; throws the reported HRESULT when that fails.
    CBankServices();
    ~CBankServices();
};
