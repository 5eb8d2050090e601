#include "validation/PaymentValidation.h"

#include "common/Bstr.h"
#include "common/CString.h"
#include "common/CodePageText.h"
#include "validation/IdentifierChecks.h"
#include "validation/IdentifierText.h"
#include "validation/ResultCodes.h"

#include <comdef.h>

#include <climits>
#include <cmath>
#include <string>
#include <string_view>

_COM_SMARTPTR_TYPEDEF(IPaymentEx, __uuidof(IPaymentEx));

namespace {

const LONG kEuro = 978; // ISO 4217 numeric
const size_t kAccountNameMaxChars = 70;
const size_t kNoLimit = 0;

// Names and the reference go through the calling thread's ANSI code page both ways, so that a
// character it holds comes back as itself whatever the process's code page is.
constexpr UINT kTextCodePage = CP_THREAD_ACP;

// Narrows transliterated text into the text code page; a character that has no place in it
// shows as the default character rather than as a look-alike. The text ends at an embedded
// NUL. Throws E_OUTOFMEMORY for text too long to convert.
void NarrowToThreadCodePage(const std::wstring& text, std::string& narrow, CString& value)
{
    if (text.size() > static_cast<size_t>(INT_MAX)) throw static_cast<HRESULT>(E_OUTOFMEMORY);
    NarrowTextInto(text.data(), text.size(), kTextCodePage, Unmappable::DefaultCharacter, narrow);
    if (narrow.empty() && !text.empty()) throw static_cast<HRESULT>(E_UNEXPECTED);
    value = narrow.c_str();
}

typedef HRESULT (STDMETHODCALLTYPE IPaymentEx::*StringGetter)(BSTR*);
typedef HRESULT (STDMETHODCALLTYPE IPaymentEx::*StringSetter)(BSTR);

// Walks the checks of one payment, keeping the code it set last. The results of the host's
// setters are not looked at.
class PaymentChecks {
public:
    PaymentChecks(IPaymentEx* payment, const CCharacterMap& map, PaymentTextScratch& scratch)
        : m_payment(payment), m_map(map), m_scratch(scratch)
    {
    }

    long Code() const { return m_code; }

    void Identifier(StringGetter get, StringSetter put, bool (*isValid)(CString&), long failureCode)
    {
        CBstr host;
        const bool read = SUCCEEDED((m_payment->*get)(host.Receive()));
        IdentifierBuffer narrow;
        NarrowIdentifier(read ? host.Get() : nullptr, host.Length(), narrow);
        CString& value = m_scratch.value;
        value = narrow;
        if (!isValid(value)) Fail(failureCode);
        // A value that could not be read is not replaced by the empty one the check saw.
        // Widened byte by byte, the reverse of NarrowIdentifier, so that it keeps the characters read.
        if (read) WriteBack(put, NewBstrFromBytes(std::string_view(value.GetString(), value.GetLength())));
    }

    static constexpr double kSmallestAmount = 0.005;
    static constexpr double kFirstAmountTooLong = 999999999.995;

    void Amount()
    {
        double amount = 0.0;
        const bool read = SUCCEEDED(m_payment->get_Amount(&amount));
        // The file carries amounts with two decimals: anything that rounds to 0.00 is no
        // payment, and a SEPA amount has at most eleven digits (999,999,999.99).
        if (!read || !(amount >= kSmallestAmount) || !std::isfinite(amount))
            Fail(kInvalidAmount);
        else if (amount >= kFirstAmountTooLong)
            Fail(kAmountTooLong);
    }

    void AccountName(StringGetter get, StringSetter put, long failureCode)
    {
        if (!CleanHostText(get, put, kAccountNameMaxChars)) Fail(failureCode);
    }

    // An empty reference is no failure: the payment file falls back on the payer's name.
    void Reference() { CleanHostText(&IPaymentEx::get_PaymentReference, &IPaymentEx::put_PaymentReference, kNoLimit); }

    void Currency()
    {
        LONG second = 0, first = 0;
        const bool readSecond = SUCCEEDED(m_payment->get_CurrencyCode2(&second));
        const bool readFirst = SUCCEEDED(m_payment->get_CurrencyCode1(&first));
        if (readSecond && readFirst && second == kEuro && first == kEuro) return;
        Fail(kInvalidCurrency);
        // An amount in another currency must not go to the bank as euros.
        m_payment->put_Amount(0.0);
    }

private:
    // Transliterates, narrows and cleans the text; true when something is left.
    bool CleanHostText(StringGetter get, StringSetter put, size_t maxChars)
    {
        CBstr host;
        const bool read = SUCCEEDED((m_payment->*get)(host.Receive()));
        std::wstring& wide = m_scratch.wide;
        if (read && host.Get())
            wide.assign(host.Get(), host.Length());
        else
            wide.clear();
        m_map.Transliterate(wide);
        CString& text = m_scratch.value;
        NarrowToThreadCodePage(wide, m_scratch.narrow, text);
        const bool kept = CleanText(text, maxChars);
        if (read)
            WriteBack(put, NewBstrFromCodePage(std::string_view(text.GetString(), text.GetLength()), kTextCodePage));
        return kept;
    }

    // Hands the new value to the host, which only borrows it.
    void WriteBack(StringSetter put, BSTR value)
    {
        const CBstr text(value);
        (m_payment->*put)(text.Get());
    }

    void Fail(long code)
    {
        m_code = code;
        m_payment->put_ResultCode(code);
    }

    IPaymentEx* m_payment;
    const CCharacterMap& m_map;
    PaymentTextScratch& m_scratch;
    long m_code = kPaymentPassed;
};

} // namespace

long ValidatePayment(IPayment* payment, const CCharacterMap& map, PaymentTextScratch& scratch)
{
    payment->put_ResultCode(kPaymentPassed);

    IPaymentExPtr extended;
    if (FAILED(payment->QueryInterface(__uuidof(IPaymentEx), reinterpret_cast<void**>(&extended))) || !extended) {
        // Without its details the payment can neither be checked nor go into the file.
        payment->put_ResultCode(kMissingPaymentDetails);
        return kMissingPaymentDetails;
    }

    PaymentChecks checks(extended, map, scratch);
    checks.Identifier(&IPaymentEx::get_PayerIBAN, &IPaymentEx::put_PayerIBAN, &IsValidIban, kInvalidPayerIban);
    checks.Identifier(&IPaymentEx::get_PayerBIC, &IPaymentEx::put_PayerBIC, &IsValidBic, kInvalidPayerBic);
    checks.Identifier(&IPaymentEx::get_PayeeIBAN, &IPaymentEx::put_PayeeIBAN, &IsValidIban, kInvalidPayeeIban);
    checks.Identifier(&IPaymentEx::get_PayeeBIC, &IPaymentEx::put_PayeeBIC, &IsValidBic, kInvalidPayeeBic);
    checks.Amount();
    checks.AccountName(&IPaymentEx::get_PayerAccountName, &IPaymentEx::put_PayerAccountName, kInvalidPayerName);
    checks.AccountName(&IPaymentEx::get_PayeeAccountName, &IPaymentEx::put_PayeeAccountName, kInvalidPayeeName);
    checks.Reference();
    checks.Currency();
    return checks.Code();
}
