#pragma once
// Reaches the bank component's payment service the way the host does: it creates the bank by
// its ProgID, reads what the bank says of itself, and finds the payment service by name in
// the bank's services collection.
#include "TavrinBankPayments.h"

#include <windows.h>

#include <string>

namespace tavrin_host {

struct BankDescription {
    std::wstring name;
    long kind = 0;
    std::wstring subCategory;
};

// The payment service with one reference for the caller, or null with a reason.
ITavrinBankPaymentService* LoadPaymentService(const wchar_t* bankProgId, BankDescription& bank, std::wstring& whyNot);

} // namespace tavrin_host
