#pragma once
// The collection of the bank's services; this bank offers one, the payment service.
#include "common/ComError.h"
#include "common/ComObject.h"
#include "component/IBankServicesImpl.h"

#include "TavrinBankOfVelmoraSEPA.h"

class CBankServices : public SupportErrorInfoFor<IBankServices>, public IBankServicesImpl<IBankServices> {
public:
    using Interfaces =
        ComInterfaces<ComInterface<IBankServices, IDispatch, ITavrinBankServices>, ComInterface<ISupportErrorInfo>>;

protected:
    // Creates the payment service and adds it; throws the reported HRESULT when that fails.
    CBankServices();
    ~CBankServices();
};
