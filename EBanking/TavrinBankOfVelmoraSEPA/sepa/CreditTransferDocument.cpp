#include "sepa/CreditTransferDocument.h"

#include "common/Bstr.h"
#include "sepa/CreditTransferValues.h"
#include "sepa/XmlText.h"

#include <oleauto.h>

#include <cmath>
#include <string>

_COM_SMARTPTR_TYPEDEF(IPayment, __uuidof(IPayment));
_COM_SMARTPTR_TYPEDEF(IPaymentEx, __uuidof(IPaymentEx));

namespace {

// Element names, allocated once per document rather than once per element.
struct ElementNames {
    _bstr_t creditTransfer{L"CreditTransfer"};
    _bstr_t creationDateAndTime{L"CreationDateAndTime"};
    _bstr_t requiredExecutionDate{L"RequiredExecutionDate"};
    _bstr_t debtor{L"Debtor"};
    _bstr_t creditors{L"Creditors"};
    _bstr_t creditor{L"Creditor"};
    _bstr_t name{L"Name"};
    _bstr_t iban{L"IBAN"};
    _bstr_t bic{L"BIC"};
    _bstr_t reference{L"Reference"};
    _bstr_t payment{L"Payment"};
    _bstr_t endToEndId{L"EndToEndId"};
};

// A string property of a payment; null when the host has none or the call fails.
CBstr Read(IPaymentEx* payment, HRESULT (STDMETHODCALLTYPE IPaymentEx::*getter)(BSTR*))
{
    BSTR value = nullptr;
    if (FAILED((payment->*getter)(&value))) value = nullptr;
    return CBstr(value);
}

_bstr_t Widen(const std::string& ascii) { return _bstr_t(std::wstring(ascii.begin(), ascii.end()).c_str()); }

IPaymentExPtr ExtendedPayment(IPaymentBatch* batch, LONG index)
{
    IPaymentPtr payment;
    if (FAILED(batch->get_Item(index, &payment)) || !payment) return nullptr;
    IPaymentExPtr extended;
    if (FAILED(payment->QueryInterface(__uuidof(IPaymentEx), reinterpret_cast<void**>(&extended)))) return nullptr;
    return extended;
}

std::string CreationDateAndTime(const LocalClock& clock)
{
    const SYSTEMTIME now = clock();
    return FormatCreationDateAndTime(
        CalendarTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
}

// The day of an automation date, whatever its time: the whole days are cut off towards zero
// first, since before 1900 the fraction counts forwards from a negative day. Converting the
// full value would round 23:59:59.5 up to the next day.
std::string ExecutionDate(DATE date)
{
    SYSTEMTIME fields;
    if (!std::isfinite(date) || !VariantTimeToSystemTime(std::trunc(date), &fields))
        return FormatExecutionDate(-1, -1, -1);
    return FormatExecutionDate(fields.wYear, fields.wMonth, fields.wDay);
}

class CDocumentBuilder {
public:
    explicit CDocumentBuilder(IXMLDOMDocument* document) : m_document(document) {}

    IXMLDOMElementPtr Append(IXMLDOMNode* parent, BSTR name) { return AppendChildElement(m_document, parent, name); }

    bool AppendValue(IXMLDOMNode* parent, BSTR name, BSTR value)
    {
        const IXMLDOMElementPtr element = Append(parent, name);
        return element && SetValue(element, value);
    }

    // Every payment's Creditor is a deep copy of one that holds its six elements, each after its
    // line break, without values: one engine call where building it takes twenty-six. Appended
    // after its own line break, like every element. False when the engine fails on the way: the
    // payment is then not in the document whole.
    bool AppendCreditor(IXMLDOMNode* creditors, IPaymentEx* payment)
    {
        if (!m_creditor && !MakeCreditorTemplate()) return false;
        IXMLDOMNodePtr creditor;
        IXMLDOMNodeListPtr children;
        if (FAILED(m_creditor->cloneNode(VARIANT_TRUE, &creditor)) || !creditor) return false;
        if (!AppendAfterLineBreak(m_document, creditors, creditor) || FAILED(creditor->get_childNodes(&children)) ||
            !children)
            return false;
        double amount = 0.0;
        if (FAILED(payment->get_Amount(&amount))) amount = 0.0;
        CBstr endToEndId = Read(payment, &IPayment::get_PaymentReference);
        if (SysStringLen(endToEndId.Get()) == 0) endToEndId = Read(payment, &IPayment::get_PayerAccountName);
        // The six elements stand at the odd positions, each behind its line break.
        return SetValue(children, 1, Read(payment, &IPayment::get_PayeeAccountName).Get()) &&
               SetValue(children, 3, Read(payment, &IPaymentEx::get_PayeeIBAN).Get()) &&
               SetValue(children, 5, Widen(FormatAmount(amount))) &&
               SetValue(children, 7, Read(payment, &IPaymentEx::get_PayeeBIC).Get()) &&
               SetValue(children, 9, Read(payment, &IPayment::get_PayeeReference).Get()) &&
               SetValue(children, 11, endToEndId.Get());
    }

    const ElementNames& Names() const { return m_names; }

private:
    bool MakeCreditorTemplate()
    {
        IXMLDOMElementPtr creditor;
        if (FAILED(m_document->createElement(m_names.creditor, &creditor)) || !creditor) return false;
        for (BSTR name : {m_names.name.GetBSTR(),
                          m_names.iban.GetBSTR(),
                          m_names.payment.GetBSTR(),
                          m_names.bic.GetBSTR(),
                          m_names.reference.GetBSTR(),
                          m_names.endToEndId.GetBSTR()})
            if (!Append(creditor, name)) return false;
        m_creditor = creditor;
        return true;
    }

    bool SetValue(IXMLDOMNodeList* children, LONG index, BSTR value)
    {
        IXMLDOMNodePtr element;
        return SUCCEEDED(children->get_item(index, &element)) && element && SetValue(element, value);
    }

    // The element holds one value; a null value leaves it empty. A host value with a character
    // that XML cannot hold goes in with that character marked, so that one bad value neither
    // spoils the file nor stops it from being saved.
    bool SetValue(IXMLDOMNode* element, BSTR value)
    {
        const UINT length = SysStringLen(value);
        if (HoldsOnlyXmlCharacters(value, length)) return AppendText(m_document, element, value);
        const std::wstring text = WithXmlCharactersOnly(value, length);
        const CBstr marked(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
        return marked.Get() && AppendText(m_document, element, marked.Get());
    }

    IXMLDOMDocument* m_document;
    ElementNames m_names;
    IXMLDOMElementPtr m_creditor;
};

} // namespace

IXMLDOMDocumentPtr BuildCreditTransferDocument(BSTR debtorReference, IPaymentBatch* batch, const LocalClock& clock)
{
    IXMLDOMDocumentPtr document = CreateXmlDocument();
    LONG count = 0;
    if (!document || !batch || FAILED(batch->get_Count(&count)) || count <= 0) return document;

    CDocumentBuilder builder(document);
    const ElementNames& names = builder.Names();
    IXMLDOMElementPtr root;
    if (FAILED(document->createElement(names.creditTransfer, &root)) || !root) return document;

    DATE executionDate = 0.0;
    CBstr debtorName, debtorIban, debtorBic;
    if (const IPaymentExPtr first = ExtendedPayment(batch, 0)) {
        if (FAILED(first->get_ExecutionDate(&executionDate))) executionDate = 0.0;
        debtorName = Read(first, &IPayment::get_PayerAccountName);
        debtorIban = Read(first, &IPaymentEx::get_PayerIBAN);
        debtorBic = Read(first, &IPaymentEx::get_PayerBIC);
    }

    // The root joins the document only once all of it is built. Whatever cannot be built whole
    // (an engine call that fails, a payment the batch fails to deliver or that lacks the
    // extended interface) leaves the document without its root, so that no file is written:
    // one without that payment would pass for the whole batch.
    if (!builder.AppendValue(root, names.creationDateAndTime, Widen(CreationDateAndTime(clock))) ||
        !builder.AppendValue(root, names.requiredExecutionDate, Widen(ExecutionDate(executionDate))))
        return document;
    const IXMLDOMElementPtr debtor = builder.Append(root, names.debtor);
    if (!debtor || !builder.AppendValue(debtor, names.name, debtorName.Get()) ||
        !builder.AppendValue(debtor, names.iban, debtorIban.Get()) ||
        !builder.AppendValue(debtor, names.bic, debtorBic.Get()) ||
        !builder.AppendValue(debtor, names.reference, debtorReference))
        return document;
    const IXMLDOMElementPtr creditors = builder.Append(root, names.creditors);
    if (!creditors) return document;
    for (LONG index = 0; index < count; ++index) {
        IPaymentPtr delivered;
        IPaymentExPtr payment;
        if (FAILED(batch->get_Item(index, &delivered)) || !delivered ||
            FAILED(delivered->QueryInterface(__uuidof(IPaymentEx), reinterpret_cast<void**>(&payment))) || !payment ||
            !builder.AppendCreditor(creditors, payment))
            return document;
    }
    document->appendChild(root, nullptr);
    return document;
}
