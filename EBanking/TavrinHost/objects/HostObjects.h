#pragma once
// The host stand-in's in-memory payment objects: a batch of payments, each with an optional
// extended interface and a list of identification entries.
#include "HostObject.h"
#include "HostText.h"

#include "TavrinBankPayments.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin_host {

class HostIdentification : public HostObject<HostIdentification, IIdentification> {
public:
    static HostRef<HostIdentification> Create(std::wstring name = L"", std::wstring value = L"");
    IUnknown* FindInterface(REFIID riid);

    std::wstring name;
    std::wstring value;

    HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_Name(BSTR in) override;
    HRESULT STDMETHODCALLTYPE get_Value(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_Value(BSTR in) override;
};

class HostIdentificationList : public HostObject<HostIdentificationList, IIdentificationList> {
public:
    static HostRef<HostIdentificationList> Create();
    IUnknown* FindInterface(REFIID riid);

    std::vector<HostRef<HostIdentification>> entries;

    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
    HRESULT STDMETHODCALLTYPE get_Item(LONG index, IIdentification** item) override;
    HRESULT STDMETHODCALLTYPE Add(IIdentification** item) override;
};

// A payment's identification list, made when it is first asked for: in a batch only the first
// payment carries one, and the others need not hold an empty list each.
class LazyIdentificationList {
public:
    HostIdentificationList* operator->() { return get(); }
    HostIdentificationList* get();
    // The list when it has been made, or null; a const payment has no use for a new one.
    const HostIdentificationList* IfMade() const { return m_list.get(); }

private:
    HostRef<HostIdentificationList> m_list;
};

#define HOST_UNUSED(n) \
    HRESULT STDMETHODCALLTYPE Unused##n() override { return E_NOTIMPL; }

class HostPayment : public HostObject<HostPayment, IPaymentEx> {
public:
    // A payment created without the extended interface answers only IPayment.
    static HostRef<HostPayment> Create(bool extended = true);
    IUnknown* FindInterface(REFIID riid);

    double amount = 0.0;
    HostText payerName, payerIban, payerBic;
    HostText payeeName, payeeIban, payeeBic;
    HostText paymentReference, payeeReference;
    DATE executionDate = 0.0;
    LONG resultCode = -1;
    LONG currency1 = 978, currency2 = 978;
    bool extended = true;
    LazyIdentificationList identifications;

    // IPayment
    HRESULT STDMETHODCALLTYPE get_Amount(double* out) override;
    HRESULT STDMETHODCALLTYPE put_Amount(double in) override;
    HRESULT STDMETHODCALLTYPE get_PayerAccountName(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_PayerAccountName(BSTR in) override;
    HRESULT STDMETHODCALLTYPE get_PaymentReference(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_PaymentReference(BSTR in) override;
    HRESULT STDMETHODCALLTYPE get_PayeeAccountName(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_PayeeAccountName(BSTR in) override;
    HRESULT STDMETHODCALLTYPE get_PayeeReference(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_PayeeReference(BSTR in) override;
    HRESULT STDMETHODCALLTYPE get_ExecutionDate(DATE* out) override;
    HRESULT STDMETHODCALLTYPE put_ExecutionDate(DATE in) override;
    HRESULT STDMETHODCALLTYPE get_ResultCode(LONG* out) override;
    HRESULT STDMETHODCALLTYPE put_ResultCode(LONG in) override;
    HOST_UNUSED(09)
    HOST_UNUSED(10)
    HOST_UNUSED(11)
    HOST_UNUSED(12)
    HOST_UNUSED(13)
    HOST_UNUSED(14)
    HOST_UNUSED(17)
    HOST_UNUSED(18)
    HOST_UNUSED(21)
    HOST_UNUSED(22)
    HOST_UNUSED(23)
    HOST_UNUSED(24)
    HOST_UNUSED(27)
    HOST_UNUSED(28)
    HOST_UNUSED(31)
    HOST_UNUSED(32)
    HOST_UNUSED(33)
    HOST_UNUSED(34)

    // IPaymentEx
    HRESULT STDMETHODCALLTYPE get_PayerIBAN(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_PayerIBAN(BSTR in) override;
    HRESULT STDMETHODCALLTYPE get_PayerBIC(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_PayerBIC(BSTR in) override;
    HRESULT STDMETHODCALLTYPE get_PayeeIBAN(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_PayeeIBAN(BSTR in) override;
    HRESULT STDMETHODCALLTYPE get_PayeeBIC(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_PayeeBIC(BSTR in) override;
    HRESULT STDMETHODCALLTYPE get_CurrencyCode1(LONG* out) override;
    HRESULT STDMETHODCALLTYPE put_CurrencyCode1(LONG in) override;
    HRESULT STDMETHODCALLTYPE get_CurrencyCode2(LONG* out) override;
    HRESULT STDMETHODCALLTYPE put_CurrencyCode2(LONG in) override;
    HRESULT STDMETHODCALLTYPE get_Identifications(IIdentificationList** out) override;
    HOST_UNUSED(39)
    HOST_UNUSED(40)
    HOST_UNUSED(41)
    HOST_UNUSED(42)
    HOST_UNUSED(43)
    HOST_UNUSED(44)
    HOST_UNUSED(45)
    HOST_UNUSED(46)
    HOST_UNUSED(47)
    HOST_UNUSED(48)
    HOST_UNUSED(49)
    HOST_UNUSED(50)
    HOST_UNUSED(51)
    HOST_UNUSED(52)
    HOST_UNUSED(53)
    HOST_UNUSED(54)
    HOST_UNUSED(55)
    HOST_UNUSED(56)
    HOST_UNUSED(57)
    HOST_UNUSED(58)
    HOST_UNUSED(59)
    HOST_UNUSED(60)
    HOST_UNUSED(61)
    HOST_UNUSED(62)
    HOST_UNUSED(63)
    HOST_UNUSED(64)
    HOST_UNUSED(65)
    HOST_UNUSED(66)
    HOST_UNUSED(67)
    HOST_UNUSED(68)
    HOST_UNUSED(69)
    HOST_UNUSED(70)
    HOST_UNUSED(71)
    HOST_UNUSED(72)

    // The value of the first identification entry named "Other", or empty.
    std::wstring Oin() const;
    void SetOin(const std::wstring& oin);

    // Every text value at once, held in one buffer of room units: write(i, place) writes the
    // i-th of the kTextCount values (payer name, IBAN and BIC, payee name, IBAN and BIC, payment
    // reference, payee reference) at place and returns its units, all of them within room.
    static const size_t kTextCount = 8;
    void SetTexts(size_t room, const std::function<size_t(size_t i, wchar_t* place)>& write);

private:
    std::unique_ptr<wchar_t[]> m_texts;
};

#undef HOST_UNUSED

class HostPaymentBatch : public HostObject<HostPaymentBatch, IPaymentBatch> {
public:
    static HostRef<HostPaymentBatch> Create();
    IUnknown* FindInterface(REFIID riid);

    std::vector<HostRef<HostPayment>> payments;
    // get_Item fails for this index (and only this one) when set; -1 for none.
    LONG failingItem = -1;

    HostPayment& Add(bool extended = true);

    HRESULT STDMETHODCALLTYPE get_Item(LONG index, IPayment** payment) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
};

// Sum of the reference counts of a batch and every object reachable from it: a component
// that released all it took leaves this sum unchanged. An identification list not made yet
// counts as the one reference its payment will hold.
ULONG TotalRefCount(const HostPaymentBatch& batch);

} // namespace tavrin_host
