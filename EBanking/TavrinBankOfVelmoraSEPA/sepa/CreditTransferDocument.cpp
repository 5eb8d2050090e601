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
    _bstr_t nothing{L""};
};

// A string property of a payment; null when the host has none or the call fails.
CBstr Read(IPaymentEx* payment, HRESULT (STDMETHODCALLTYPE IPaymentEx::*getter)(BSTR*))
{
    BSTR value = nullptr;
    if (FAILED((payment->*getter)(&value))) value = nullptr;
    return CBstr(value);
}

// Text the component writes itself (amounts, dates), all ASCII, in a new BSTR. Throws
// E_OUTOFMEMORY when there is no memory for it: a value left out would pass for one the host
// did not give.
CBstr AsciiText(const std::string& ascii) { return CBstr(NewBstrFromBytes(ascii)); }

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

// The six values of a payment's Creditor, in the order of its elements; a null one has no text.
const size_t kCreditorValues = 6;
struct CreditorValues {
    CBstr text[kCreditorValues];

    bool AllPresent() const
    {
        for (const CBstr& value : text)
            if (!value.Get()) return false;
        return true;
    }
};

CreditorValues ReadCreditor(IPaymentEx* payment)
{
    CreditorValues values;
    values.text[0] = Read(payment, &IPayment::get_PayeeAccountName);
    values.text[1] = Read(payment, &IPaymentEx::get_PayeeIBAN);
    double amount = 0.0;
    if (FAILED(payment->get_Amount(&amount))) amount = 0.0;
    values.text[2] = AsciiText(FormatAmount(amount));
    values.text[3] = Read(payment, &IPaymentEx::get_PayeeBIC);
    values.text[4] = Read(payment, &IPayment::get_PayeeReference);
    values.text[5] = Read(payment, &IPayment::get_PaymentReference);
    if (values.text[5].Length() == 0) values.text[5] = Read(payment, &IPayment::get_PayerAccountName);
    return values;
}

// A host value with a character that XML cannot hold goes in with that character marked, so
// that one bad value neither spoils the file nor stops it from being saved.
bool NeedsMarking(BSTR value) { return !HoldsOnlyXmlCharacters(value, SysStringLen(value)); }

// The marked copy of such a value; null when there is no memory for it.
CBstr MarkedCopy(BSTR value)
{
    const std::wstring text = WithXmlCharactersOnly(value, SysStringLen(value));
    return CBstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}

// Marks the value in place when it needs it; false when there is no memory for the copy.
bool MarkNonXmlCharacters(CBstr& value)
{
    if (!NeedsMarking(value.Get())) return true;
    value = MarkedCopy(value.Get());
    return value.Get() != nullptr;
}

class CDocumentBuilder {
public:
    explicit CDocumentBuilder(IXMLDOMDocument* document) : m_document(document) {}

    IXMLDOMElementPtr Append(IXMLDOMNode* parent, BSTR name) { return AppendChildElement(m_document, parent, name); }

    bool AppendValue(IXMLDOMNode* parent, BSTR name, BSTR value)
    {
        const IXMLDOMElementPtr element = Append(parent, name);
        if (!element) return false;
        if (!NeedsMarking(value)) return AppendText(m_document, element, value);
        const CBstr marked = MarkedCopy(value);
        return marked.Get() && AppendText(m_document, element, marked.Get());
    }

    // Every payment's Creditor is a deep copy of one that holds its six elements, each after its
    // line break: a few engine calls where building it takes twenty-six. Appended after its own
    // line break, like every element. False when the engine fails on the way: the payment is
    // then not in the document whole.
    bool AppendCreditor(IXMLDOMNode* creditors, IPaymentEx* payment)
    {
        CreditorValues values = ReadCreditor(payment);
        for (CBstr& value : values.text)
            if (!MarkNonXmlCharacters(value)) return false;
        return values.AllPresent() ? AppendFilledCopy(creditors, values) : AppendCopyWithGaps(creditors, values);
    }

    const ElementNames& Names() const { return m_names; }

private:
    // The usual case: every value is there. The template's own texts take the payment's values,
    // and the copy carries them along.
    bool AppendFilledCopy(IXMLDOMNode* creditors, const CreditorValues& values)
    {
        if (!m_filled && !MakeCreditorTemplate(true, m_filled)) return false;
        for (size_t i = 0; i < kCreditorValues; ++i)
            if (FAILED(m_filledTexts[i]->put_data(values.text[i].Get()))) return false;
        IXMLDOMNodePtr creditor;
        return SUCCEEDED(m_filled->cloneNode(VARIANT_TRUE, &creditor)) && creditor &&
               AppendAfterLineBreak(m_document, creditors, creditor);
    }

    // A value the host did not give leaves its element without a text: the copy of a template
    // without texts gets one for each value that is there.
    bool AppendCopyWithGaps(IXMLDOMNode* creditors, const CreditorValues& values)
    {
        if (!m_empty && !MakeCreditorTemplate(false, m_empty)) return false;
        IXMLDOMNodePtr creditor;
        IXMLDOMNodeListPtr children;
        if (FAILED(m_empty->cloneNode(VARIANT_TRUE, &creditor)) || !creditor ||
            !AppendAfterLineBreak(m_document, creditors, creditor) || FAILED(creditor->get_childNodes(&children)) ||
            !children)
            return false;
        for (size_t i = 0; i < kCreditorValues; ++i) {
            // The six elements stand at the odd positions, each behind its line break.
            IXMLDOMNodePtr element;
            if (FAILED(children->get_item(static_cast<LONG>(2 * i + 1), &element)) || !element ||
                !AppendText(m_document, element, values.text[i].Get()))
                return false;
        }
        return true;
    }

    // A Creditor with its six elements, each holding an empty text when withTexts is set.
    bool MakeCreditorTemplate(bool withTexts, IXMLDOMElementPtr& made)
    {
        IXMLDOMElementPtr creditor;
        if (FAILED(m_document->createElement(m_names.creditor, &creditor)) || !creditor) return false;
        const BSTR names[kCreditorValues] = {m_names.name.GetBSTR(),
                                             m_names.iban.GetBSTR(),
                                             m_names.payment.GetBSTR(),
                                             m_names.bic.GetBSTR(),
                                             m_names.reference.GetBSTR(),
                                             m_names.endToEndId.GetBSTR()};
        for (size_t i = 0; i < kCreditorValues; ++i) {
            const IXMLDOMElementPtr element = Append(creditor, names[i]);
            if (!element) return false;
            if (!withTexts) continue;
            IXMLDOMTextPtr& text = m_filledTexts[i];
            if (FAILED(m_document->createTextNode(m_names.nothing, &text)) || !text ||
                FAILED(element->appendChild(text, nullptr)))
                return false;
        }
        made = creditor;
        return true;
    }

    IXMLDOMDocument* m_document;
    ElementNames m_names;
    IXMLDOMElementPtr m_filled;
    IXMLDOMTextPtr m_filledTexts[kCreditorValues];
    IXMLDOMElementPtr m_empty;
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
    if (!builder.AppendValue(root, names.creationDateAndTime, AsciiText(CreationDateAndTime(clock)).Get()) ||
        !builder.AppendValue(root, names.requiredExecutionDate, AsciiText(ExecutionDate(executionDate)).Get()))
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
