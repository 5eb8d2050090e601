#include "HostObjects.h"

namespace tavrin_host {
namespace {

HRESULT CopyOut(std::wstring_view value, BSTR* out)
{
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT CopyOut(const HostText& value, BSTR* out) { return CopyOut(value.View(), out); }

// A host setter takes a copy, into the storage the value had when it fits; a null BSTR is an
// empty string.
template <class Text>
HRESULT CopyIn(BSTR in, Text& value)
{
    try {
        value = in ? std::wstring_view(in, SysStringLen(in)) : std::wstring_view();
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

template <class T>
HRESULT ValueOut(const T& value, T* out)
{
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

} // namespace

#define HOST_GET_STRING(Method, field)                             \
    HRESULT STDMETHODCALLTYPE HostPayment::get_##Method(BSTR* out) \
    {                                                              \
        HOST_FAIL_IF("get_" #Method);                              \
        return CopyOut(field, out);                                \
    }                                                              \
    HRESULT STDMETHODCALLTYPE HostPayment::put_##Method(BSTR in)   \
    {                                                              \
        HOST_FAIL_IF("put_" #Method);                              \
        return CopyIn(in, field);                                  \
    }
#define HOST_GET_VALUE(Method, Type, field)                        \
    HRESULT STDMETHODCALLTYPE HostPayment::get_##Method(Type* out) \
    {                                                              \
        HOST_FAIL_IF("get_" #Method);                              \
        return ValueOut(field, out);                               \
    }                                                              \
    HRESULT STDMETHODCALLTYPE HostPayment::put_##Method(Type in)   \
    {                                                              \
        HOST_FAIL_IF("put_" #Method);                              \
        field = in;                                                \
        return S_OK;                                               \
    }

HostRef<HostIdentification> HostIdentification::Create(std::wstring name, std::wstring value)
{
    HostRef<HostIdentification> entry(new HostIdentification);
    entry->name = std::move(name);
    entry->value = std::move(value);
    return entry;
}

IUnknown* HostIdentification::FindInterface(REFIID riid)
{
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IIdentification))
        return static_cast<IIdentification*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE HostIdentification::get_Name(BSTR* out)
{
    HOST_FAIL_IF("get_Name");
    return CopyOut(name, out);
}
HRESULT STDMETHODCALLTYPE HostIdentification::put_Name(BSTR in)
{
    HOST_FAIL_IF("put_Name");
    return CopyIn(in, name);
}
HRESULT STDMETHODCALLTYPE HostIdentification::get_Value(BSTR* out)
{
    HOST_FAIL_IF("get_Value");
    return CopyOut(value, out);
}
HRESULT STDMETHODCALLTYPE HostIdentification::put_Value(BSTR in)
{
    HOST_FAIL_IF("put_Value");
    return CopyIn(in, value);
}

HostRef<HostIdentificationList> HostIdentificationList::Create()
{
    return HostRef<HostIdentificationList>(new HostIdentificationList);
}

IUnknown* HostIdentificationList::FindInterface(REFIID riid)
{
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IIdentificationList))
        return static_cast<IIdentificationList*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE HostIdentificationList::get_Count(LONG* count)
{
    HOST_FAIL_IF("get_Count");
    return ValueOut(static_cast<LONG>(entries.size()), count);
}

HRESULT STDMETHODCALLTYPE HostIdentificationList::get_Item(LONG index, IIdentification** item)
{
    HOST_FAIL_IF("get_Item");
    if (!item) return E_POINTER;
    *item = nullptr;
    if (index < 0 || static_cast<size_t>(index) >= entries.size()) return E_INVALIDARG;
    *item = entries[static_cast<size_t>(index)].get();
    (*item)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HostIdentificationList::Add(IIdentification** item)
{
    HOST_FAIL_IF("Add");
    if (!item) return E_POINTER;
    entries.push_back(HostIdentification::Create());
    *item = entries.back().get();
    (*item)->AddRef();
    return S_OK;
}

HostIdentificationList* LazyIdentificationList::get()
{
    if (!m_list) m_list = HostIdentificationList::Create();
    return m_list.get();
}

HostRef<HostPayment> HostPayment::Create(bool extended)
{
    HostRef<HostPayment> payment(new HostPayment);
    payment->extended = extended;
    return payment;
}

IUnknown* HostPayment::FindInterface(REFIID riid)
{
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IPayment))
        return static_cast<IPayment*>(this);
    if (extended && riid == __uuidof(IPaymentEx)) return static_cast<IPaymentEx*>(this);
    return nullptr;
}

HOST_GET_VALUE(Amount, double, amount)
HOST_GET_STRING(PayerAccountName, payerName)
HOST_GET_STRING(PaymentReference, paymentReference)
HOST_GET_STRING(PayeeAccountName, payeeName)
HOST_GET_STRING(PayeeReference, payeeReference)
HOST_GET_VALUE(ExecutionDate, DATE, executionDate)
HOST_GET_VALUE(ResultCode, LONG, resultCode)
HOST_GET_STRING(PayerIBAN, payerIban)
HOST_GET_STRING(PayerBIC, payerBic)
HOST_GET_STRING(PayeeIBAN, payeeIban)
HOST_GET_STRING(PayeeBIC, payeeBic)
HOST_GET_VALUE(CurrencyCode1, LONG, currency1)
HOST_GET_VALUE(CurrencyCode2, LONG, currency2)

HRESULT STDMETHODCALLTYPE HostPayment::get_Identifications(IIdentificationList** out)
{
    HOST_FAIL_IF("get_Identifications");
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
        *out = identifications.get();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    (*out)->AddRef();
    return S_OK;
}

std::wstring HostPayment::Oin() const
{
    if (const HostIdentificationList* list = identifications.IfMade())
        for (const auto& entry : list->entries)
            if (entry->name == L"Other") return entry->value;
    return std::wstring();
}

void HostPayment::SetOin(const std::wstring& oin)
{
    for (auto& entry : identifications->entries)
        if (entry->name == L"Other") {
            entry->value = oin;
            return;
        }
    identifications->entries.push_back(HostIdentification::Create(L"Other", oin));
}

void HostPayment::SetTexts(size_t room, const std::function<size_t(size_t i, wchar_t* place)>& write)
{
    HostText* const fields[kTextCount] = {
        &payerName, &payerIban, &payerBic, &payeeName, &payeeIban, &payeeBic, &paymentReference, &payeeReference};
    std::unique_ptr<wchar_t[]> buffer(new wchar_t[room]);
    wchar_t* place = buffer.get();
    for (size_t i = 0; i < kTextCount; ++i) {
        const size_t units = write(i, place);
        fields[i]->Hold(place, units);
        place += units;
    }
    m_texts = std::move(buffer);
}

HostRef<HostPaymentBatch> HostPaymentBatch::Create() { return HostRef<HostPaymentBatch>(new HostPaymentBatch); }

IUnknown* HostPaymentBatch::FindInterface(REFIID riid)
{
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IPaymentBatch))
        return static_cast<IPaymentBatch*>(this);
    return nullptr;
}

HostPayment& HostPaymentBatch::Add(bool extended)
{
    payments.push_back(HostPayment::Create(extended));
    return *payments.back().get();
}

HRESULT STDMETHODCALLTYPE HostPaymentBatch::get_Item(LONG index, IPayment** payment)
{
    HOST_FAIL_IF("get_Item");
    if (!payment) return E_POINTER;
    *payment = nullptr;
    if (index == failingItem) return E_FAIL;
    if (index < 0 || static_cast<size_t>(index) >= payments.size()) return E_INVALIDARG;
    *payment = static_cast<IPayment*>(payments[static_cast<size_t>(index)].get());
    (*payment)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HostPaymentBatch::get_Count(LONG* count)
{
    HOST_FAIL_IF("get_Count");
    return ValueOut(static_cast<LONG>(payments.size()), count);
}

ULONG TotalRefCount(const HostPaymentBatch& batch)
{
    ULONG total = batch.RefCount();
    for (const auto& payment : batch.payments) {
        const HostIdentificationList* list = payment->identifications.IfMade();
        total += payment->RefCount() + (list ? list->RefCount() : 1);
        if (list)
            for (const auto& entry : list->entries)
                total += entry->RefCount();
    }
    return total;
}

} // namespace tavrin_host
