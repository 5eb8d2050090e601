#pragma once
// Reaches the bank component's payment service the way the host does.
#include "TavrinBankPayments.h"

#include <windows.h>

#include <string>

namespace tavrin_host {

class PaymentServiceLoader {
public:
    PaymentServiceLoader() = default;
    ~PaymentServiceLoader();
    PaymentServiceLoader(const PaymentServiceLoader&) = delete;
    PaymentServiceLoader& operator=(const PaymentServiceLoader&) = delete;

    // The payment service with one reference for the caller, or null with a reason.
    ITavrinBankPaymentService* Load(std::wstring& whyNot);

private:
    HMODULE m_module = nullptr;
};

} // namespace tavrin_host
