#pragma once
// The credit transfer document: every value the payment file needs, as plain elements, for the
// stylesheet to lay out. Built in memory for one file and never saved as it is.
//
//   CreditTransfer
//     CreationDateAndTime, RequiredExecutionDate
//     Debtor: Name, IBAN, BIC, Reference
//     Creditors: Creditor (one per payment): Name, IBAN, Payment, BIC, Reference, EndToEndId
//
// Each element follows a line feed and a tab; values are text nodes, escaped by the engine.
#include "common/LocalClock.h"
#include "sepa/XmlDocument.h"
#include "TavrinBankPayments.h"

// The document of the batch, with the creation time from clock, the requested execution date
// and the debtor from the first payment, debtorReference (the OIN; may be null or empty) as the
// debtor's Reference, and one Creditor per payment in batch order. A batch without payments
// gives a document without a root element, and so does one that cannot be built whole: an
// engine call fails, or a payment cannot be fetched or lacks the extended payment interface.
// Empty only when the XML engine cannot be created.
IXMLDOMDocumentPtr BuildCreditTransferDocument(BSTR debtorReference, IPaymentBatch* batch,
                                               const LocalClock& clock = CurrentLocalTime);
