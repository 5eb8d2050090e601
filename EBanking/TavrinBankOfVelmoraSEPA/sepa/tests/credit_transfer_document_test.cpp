// The credit transfer document handed to the stylesheet: its element layout with the line
// breaks, where each value comes from, and how missing host values show.
#include "sepa/CreditTransferDocument.h"

#include "HostObjects.h"
#include "PaymentFileTestSupport.h"
#include "common/tests/TestDates.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <cmath>
#include <limits>
#include <string>

using namespace paymentfile;
using tavrin_host::HostPayment;
using tavrin_host::HostPaymentBatch;
using tavrin_host::HostRef;
using tavrin_host::TotalRefCount;

namespace {

const FixedClock kCreationTime = At(2013, 1, 2, 3, 4, 5);

// The children of a node in one line: an element by its name, the line-feed-and-tab text as
// "~", any other text quoted. "Name" + "'Fish'" reads: an element Name, then a text Fish.
std::wstring Children(IXMLDOMNode* node)
{
    std::wstring shape;
    for (const IXMLDOMNodePtr& child : ChildNodes(node)) {
        const DOMNodeType type = NodeType(child);
        if (type == NODE_ELEMENT) {
            BSTR name = nullptr;
            child->get_nodeName(&name);
            shape += name;
            SysFreeString(name);
        } else if (type == NODE_TEXT) {
            const std::wstring text = NodeText(child);
            shape += text == L"\n\t" ? L"~" : L"'" + text + L"'";
        } else {
            shape += L"?";
        }
    }
    return shape;
}

// The n-th (from 1) child element of node with this name.
IXMLDOMNodePtr Child(IXMLDOMNode* node, const wchar_t* name, int n = 1)
{
    for (const IXMLDOMNodePtr& child : ChildNodes(node)) {
        BSTR childName = nullptr;
        child->get_nodeName(&childName);
        const bool match = childName && std::wstring(childName) == name;
        SysFreeString(childName);
        if (match && --n == 0) return child;
    }
    return nullptr;
}

IXMLDOMNodePtr Root(IXMLDOMDocument* document)
{
    IXMLDOMElementPtr root;
    document->get_documentElement(&root);
    return IXMLDOMNodePtr(root);
}

// What the named child element of node holds, in the notation of Children.
std::wstring Value(IXMLDOMNode* node, const wchar_t* name, int n = 1)
{
    const IXMLDOMNodePtr child = Child(node, name, n);
    return child ? Children(child) : L"(missing)";
}

IXMLDOMNodePtr Creditor(IXMLDOMDocument* document, int n)
{
    return Child(Child(Root(document), L"Creditors"), L"Creditor", n);
}

class CreditTransferDocument : public testing::Test {
protected:
    IXMLDOMDocumentPtr Build(BSTR oin = _bstr_t(L"VELMORA-OIN-0042"))
    {
        IXMLDOMDocumentPtr document = BuildCreditTransferDocument(oin, batch.get(), kCreationTime);
        EXPECT_TRUE(document != nullptr);
        return document;
    }

    HostRef<HostPaymentBatch> batch = HostPaymentBatch::Create();
};

TEST_F(CreditTransferDocument, EveryElementStandsOnItsOwnLineInOrder)
{
    AddValidPayment(*batch, L"Fish & Chips Ltd", 1234.5, L"INV 42");
    AddValidPayment(*batch, L"A<B Trading GmbH", 1000000.0, L"ORDER 7");
    AddValidPayment(*batch, L"Velmora Supplies", 0.25, L"INV 43");
    const IXMLDOMDocumentPtr document = Build();

    EXPECT_EQ(L"CreditTransfer", Children(document)) << "the root alone, without a declaration or line break";
    const IXMLDOMNodePtr root = Root(document);
    EXPECT_EQ(L"~CreationDateAndTime~RequiredExecutionDate~Debtor~Creditors", Children(root));
    EXPECT_EQ(L"~Name~IBAN~BIC~Reference", Value(root, L"Debtor"));
    EXPECT_EQ(L"~Creditor~Creditor~Creditor", Value(root, L"Creditors"));
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(L"~Name~IBAN~Payment~BIC~Reference~EndToEndId", Children(Creditor(document, n))) << n;
}

TEST_F(CreditTransferDocument, ValuesComeFromTheFirstPaymentTheReferenceAndEachPayment)
{
    HostPayment& first = AddValidPayment(*batch, L"Fish & Chips Ltd", 1234.5, L"INV 42");
    first.executionDate = MakeDate(2014, 3, 5, 23, 59, 59) + 0.9 / 86400; // 0.1 s before midnight
    HostPayment& second = AddValidPayment(*batch, L"A<B Trading GmbH", 70.0, L"");
    second.payerName = L"Second Payer";
    second.payerIban = L"FR1420041010050500013M02606";
    second.payeeIban = L"AT611904300234573201";
    second.payeeBic = L"BKAUATWW";
    second.payeeReference = L"Order 7";
    second.executionDate = MakeDate(2020, 1, 1, 0, 0, 0);
    const IXMLDOMDocumentPtr document = Build();
    const IXMLDOMNodePtr root = Root(document);

    EXPECT_EQ(L"'2013-01-02T03:04:05'", Value(root, L"CreationDateAndTime"));
    EXPECT_EQ(L"'2014-03-05'", Value(root, L"RequiredExecutionDate")) << "the time of day never moves the day";
    const IXMLDOMNodePtr debtor = Child(root, L"Debtor");
    EXPECT_EQ(L"'Tavrin Holdings'", Value(debtor, L"Name"));
    EXPECT_EQ(L"'DE89370400440532013000'", Value(debtor, L"IBAN"));
    EXPECT_EQ(L"'COBADEFFXXX'", Value(debtor, L"BIC"));
    EXPECT_EQ(L"'VELMORA-OIN-0042'", Value(debtor, L"Reference"));

    const IXMLDOMNodePtr creditor = Creditor(document, 2);
    EXPECT_EQ(L"'A<B Trading GmbH'", Value(creditor, L"Name")) << "the text is stored as it is, not escaped";
    EXPECT_EQ(L"'AT611904300234573201'", Value(creditor, L"IBAN"));
    EXPECT_EQ(L"'70.00'", Value(creditor, L"Payment"));
    EXPECT_EQ(L"'BKAUATWW'", Value(creditor, L"BIC"));
    EXPECT_EQ(L"'Order 7'", Value(creditor, L"Reference"));
    EXPECT_EQ(L"'Second Payer'", Value(creditor, L"EndToEndId")) << "the payer's name stands in for the reference";
    EXPECT_EQ(L"'INV 42'", Value(Creditor(document, 1), L"EndToEndId"));
    EXPECT_EQ(L"'Fish & Chips Ltd'", Value(Creditor(document, 1), L"Name"));
}

TEST_F(CreditTransferDocument, AmountsHaveTwoDecimalsAndAPointWhateverTheLocale)
{
    const double amounts[] = {1234.5, 1000000.0, 70.0, 0.5, 2.675, 99999999999.99, -12.5};
    // 2.675 is stored as 2.67499...: rounding follows the binary value, as the streams do.
    const wchar_t* expected[] = {
        L"'1234.50'", L"'1000000.00'", L"'70.00'", L"'0.50'", L"'2.67'", L"'99999999999.99'", L"'-12.50'"};
    for (double amount : amounts)
        AddValidPayment(*batch, L"Velmora Supplies", amount, L"R");

    DecimalCommaLocale decimalComma;
    ASSERT_EQ("1.234,50", DecimalCommaLocale::StreamSample()) << "the locale seam must be in force";
    const IXMLDOMDocumentPtr document = Build();
    for (int n = 1; n <= 7; ++n)
        EXPECT_EQ(expected[n - 1], Value(Creditor(document, n), L"Payment")) << n;
}

TEST_F(CreditTransferDocument, MissingHostValuesLeaveElementsEmpty)
{
    HostPayment& first = AddValidPayment(*batch, L"Velmora Supplies", 1.0, L"R1");
    first.Faults().Fail("get_PayeeBIC");
    first.Faults().Fail("get_Amount");
    first.payeeReference = L"";
    AddValidPayment(*batch, L"Velmora Supplies", 2.0, L"R2").payeeReference = L"";

    // A null reference gives an empty Reference, an empty one an empty text.
    const IXMLDOMDocumentPtr withoutOin = Build(nullptr);
    EXPECT_EQ(L"", Value(Child(Root(withoutOin), L"Debtor"), L"Reference"));
    const IXMLDOMDocumentPtr emptyOin = Build(_bstr_t(L""));
    EXPECT_EQ(L"''", Value(Child(Root(emptyOin), L"Debtor"), L"Reference"));

    const IXMLDOMNodePtr creditor = Creditor(emptyOin, 1);
    EXPECT_EQ(L"", Value(creditor, L"BIC")) << "a failed read adds no text";
    EXPECT_EQ(L"'0.00'", Value(creditor, L"Payment"));
    EXPECT_EQ(L"''", Value(creditor, L"Reference"));
    EXPECT_EQ(L"''", Value(Creditor(emptyOin, 2), L"Reference")) << "also beside values that are all there";
}

TEST_F(CreditTransferDocument, DatesThatCannotBeReadAreWrittenAsMinusOne)
{
    const double unreadable[] = {
        1e7, -1e7, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()};
    HostPayment& first = AddValidPayment(*batch, L"Velmora Supplies", 1.0, L"R1");
    for (double date : unreadable) {
        first.executionDate = date;
        EXPECT_EQ(L"'-1--1--1'", Value(Root(Build()), L"RequiredExecutionDate")) << date;
    }
    // Before 1900 the time of day counts forwards from a negative day: 29 December 1899, 18:00.
    first.executionDate = -1.75;
    EXPECT_EQ(L"'1899-12-29'", Value(Root(Build()), L"RequiredExecutionDate"));
}

// A document without one of the payments would give a file that passes for the whole batch.
TEST_F(CreditTransferDocument, APaymentThatCannotBeDeliveredWholeLeavesTheDocumentWithoutARoot)
{
    enum Fault { kNotDelivered, kNoExtendedInterface, kQueryAnswersNothing };
    for (const Fault fault : {kNotDelivered, kNoExtendedInterface, kQueryAnswersNothing}) {
        for (const LONG failing : {LONG(0), LONG(1)}) {
            SCOPED_TRACE(std::to_string(fault) + " on payment " + std::to_string(failing));
            HostRef<HostPaymentBatch> payments = HostPaymentBatch::Create();
            for (int n = 0; n < 3; ++n) {
                const bool faulty = n == failing && fault != kNotDelivered;
                HostPayment& payment = faulty && fault == kNoExtendedInterface
                                           ? payments->Add(false)
                                           : AddValidPayment(*payments, L"P", 1.0, L"R");
                if (faulty && fault == kQueryAnswersNothing) payment.Faults().Fail("QueryInterface");
            }
            if (fault == kNotDelivered) payments->failingItem = failing;
            const IXMLDOMDocumentPtr document = BuildCreditTransferDocument(nullptr, payments.get(), kCreationTime);
            ASSERT_TRUE(document);
            EXPECT_EQ(L"", Children(document));
        }
    }
}

TEST_F(CreditTransferDocument, AnEmptyBatchGivesADocumentWithoutRoot)
{
    const IXMLDOMDocumentPtr document = Build();
    EXPECT_EQ(L"", Children(document));
    EXPECT_FALSE(BuildCreditTransferDocument(nullptr, nullptr, kCreationTime) == nullptr)
        << "without a batch there is still a document";
}

TEST_F(CreditTransferDocument, EveryHostReferenceAndStringIsGivenBack)
{
    AddValidPayment(*batch, L"First", 1.0, L"");
    batch->Add(false);
    const ULONG before = TotalRefCount(*batch);
    Build();
    EXPECT_EQ(before, TotalRefCount(*batch));
}

} // namespace
