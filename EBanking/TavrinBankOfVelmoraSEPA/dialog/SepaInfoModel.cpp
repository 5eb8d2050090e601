#include "dialog/SepaInfoModel.h"

#include "common/Bstr.h"
#include "common/ComPtr.h"

#include <oleauto.h>

#include <cwchar>
#include <utility>

namespace {

const wchar_t kOinEntryName[] = L"Other";
const ULONGLONG kFileTimeUnitsPerDay = 864000000000ULL;

// The model must not throw (the dialog calls it from its window procedure): it holds
// interfaces in ComPtr, which it only fills and tests, and strings in CBstr, never in the COM
// support classes whose constructors throw when memory runs out.

// The interface a call hands out; empty when the call fails, whatever it left in its
// out-parameter.
template <class T, class Call>
ComPtr<T> Fetch(Call call)
{
    T* raw = nullptr;
    if (FAILED(call(&raw))) raw = nullptr;
    return ComPtr<T>(raw, false);
}

ComPtr<IPayment> FirstPayment(IPaymentBatch* batch)
{
    if (!batch) return {};
    return Fetch<IPayment>([&](IPayment** out) { return batch->get_Item(0, out); });
}

ComPtr<IIdentificationList> FirstPaymentIdentifications(IPaymentBatch* batch)
{
    const ComPtr<IPayment> payment = FirstPayment(batch);
    if (!payment) return {};
    const ComPtr<IPaymentEx> extended = Fetch<IPaymentEx>(
        [&](IPaymentEx** out) { return payment->QueryInterface(__uuidof(IPaymentEx), reinterpret_cast<void**>(out)); });
    if (!extended) return {};
    return Fetch<IIdentificationList>([&](IIdentificationList** out) { return extended->get_Identifications(out); });
}

// The whole name is compared, so a name with a NUL after "Other" is a different name.
bool IsOinEntry(IIdentification* entry)
{
    BSTR raw = nullptr;
    if (FAILED(entry->get_Name(&raw))) raw = nullptr;
    const CBstr name(raw);
    const size_t length = std::wcslen(kOinEntryName);
    return SysStringLen(name.Get()) == length && std::wmemcmp(name.Get(), kOinEntryName, length) == 0;
}

ComPtr<IIdentification> FindOinEntry(IIdentificationList* list)
{
    LONG count = 0;
    if (FAILED(list->get_Count(&count))) count = 0;
    for (LONG index = 0; index < count; ++index) {
        ComPtr<IIdentification> entry =
            Fetch<IIdentification>([&](IIdentification** out) { return list->get_Item(index, out); });
        if (entry && IsOinEntry(entry)) return entry;
    }
    return {};
}

FILETIME AddDays(const FILETIME& time, unsigned days)
{
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    value.QuadPart += days * kFileTimeUnitsPerDay;
    FILETIME result;
    result.dwLowDateTime = value.LowPart;
    result.dwHighDateTime = value.HighPart;
    return result;
}

// Days from a day of the week (0 Sunday to 6 Saturday) to the next working day.
unsigned DaysToWeekday(WORD dayOfWeek)
{
    if (dayOfWeek == 6) return 2;
    if (dayOfWeek == 0) return 1;
    return 0;
}

} // namespace

CSepaInfoModel::CSepaInfoModel(IPaymentBatch* batch, const char* fullPath, const char* extension, LocalClock clock)
    : m_batch(batch),
      m_path(fullPath ? fullPath : ""),
      m_extension(extension ? extension : ""),
      m_clock(clock ? std::move(clock) : LocalClock(CurrentLocalTime))
{
}

DATE CSepaInfoModel::GetExecutionDate() const
{
    const ComPtr<IPayment> payment = FirstPayment(m_batch);
    DATE date = 0.0;
    if (payment && FAILED(payment->get_ExecutionDate(&date))) date = 0.0;
    return date == 0.0 ? DefaultExecutionDate() : date;
}

void CSepaInfoModel::SetExecutionDate(DATE date)
{
    if (const ComPtr<IPayment> payment = FirstPayment(m_batch)) payment->put_ExecutionDate(date);
}

DATE CSepaInfoModel::DefaultExecutionDate() const
{
    // The weekday is worked out from the date itself rather than taken from the clock's
    // day-of-week field.
    FILETIME now;
    SYSTEMTIME fields = m_clock();
    if (!SystemTimeToFileTime(&fields, &now) || !FileTimeToSystemTime(&now, &fields)) return 0.0;
    const FILETIME workingDay = AddDays(now, DaysToWeekday(fields.wDayOfWeek));
    DATE date = 0.0;
    if (!FileTimeToSystemTime(&workingDay, &fields) || !SystemTimeToVariantTime(&fields, &date)) return 0.0;
    return date;
}

BSTR CSepaInfoModel::GetOin() const
{
    BSTR value = nullptr;
    if (const ComPtr<IIdentificationList> list = FirstPaymentIdentifications(m_batch)) {
        if (const ComPtr<IIdentification> entry = FindOinEntry(list)) {
            if (FAILED(entry->get_Value(&value))) value = nullptr;
        }
    }
    return value ? value : SysAllocString(L"");
}

void CSepaInfoModel::SetOin(BSTR oin)
{
    const CBstr value(oin);
    const ComPtr<IIdentificationList> list = FirstPaymentIdentifications(m_batch);
    if (!list) return;
    if (const ComPtr<IIdentification> entry = FindOinEntry(list)) {
        entry->put_Value(value.Get());
        return;
    }
    const ComPtr<IIdentification> added = Fetch<IIdentification>([&](IIdentification** out) { return list->Add(out); });
    if (!added) return;
    const CBstr name(SysAllocString(kOinEntryName));
    added->put_Name(name.Get());
    added->put_Value(value.Get());
}

std::string CSepaInfoModel::GetFilePath() const { return m_path; }

void CSepaInfoModel::SetFilePath(const char* path) { m_path = path ? path : ""; }

std::string CSepaInfoModel::GetFileExtension() const { return m_extension; }
