#!/usr/bin/env python3
"""Writes a credit transfer document with any number of creditors.

The layout is the one the component builds in memory: no XML declaration,
and a line feed plus a tab before every element. Values are deterministic so
that runs can be compared; every seventh creditor carries the payer's account
name as its end-to-end reference, as the builder does when a payment has no
reference of its own.

    make_credit_transfer_document.py COUNT OUTPUT
"""

import sys
from decimal import Decimal
from xml.sax.saxutils import escape

CREATED = "2013-05-21T14:03:09"
EXECUTION_DATE = "2013-05-23"
PAYER_NAME = "Tavrin Holdings"
DEBTOR = (PAYER_NAME, "DE89370400440532013000", "COBADEFFXXX", "VELMORA-OIN-0042")

CREDITOR_ACCOUNTS = [
    ("GB29NWBK60161331926819", "NWBKGB2L"),
    ("AT611904300234573201", "BKAUATWW"),
    ("FR1420041010050500013M02606", "PSSTFRPPLIL"),
    ("NL91ABNA0417164300", "ABNANL2A"),
    ("BE68539007547034", "GEBABEBB"),
]


def creditor_values(index):
    """Values of the creditor at a zero-based index: name, IBAN, amount
    text, BIC, reference and end-to-end reference."""
    iban, bic = CREDITOR_ACCOUNTS[index % len(CREDITOR_ACCOUNTS)]
    cents = (index * 7919) % 99999999 + 1
    amount = "%d.%02d" % divmod(cents, 100)
    number = index + 1
    if number % 7 == 0:
        end_to_end = PAYER_NAME
    else:
        end_to_end = "INVOICE %d & CO" % number
    return ("Creditor %05d <Supplies>" % number, iban, amount, bic,
            "Order %d" % number, end_to_end)


def amount_total(count):
    return sum(Decimal(creditor_values(i)[2]) for i in range(count))


def _element(name, value):
    return "<%s>%s</%s>" % (name, escape(value), name)


def write_document(count, stream):
    separator = "\n\t"
    stream.write("<CreditTransfer>")
    stream.write(separator + _element("CreationDateAndTime", CREATED))
    stream.write(separator + _element("RequiredExecutionDate", EXECUTION_DATE))
    stream.write(separator + "<Debtor>")
    for name, value in zip(("Name", "IBAN", "BIC", "Reference"), DEBTOR):
        stream.write(separator + _element(name, value))
    stream.write("</Debtor>")
    stream.write(separator + "<Creditors>")
    names = ("Name", "IBAN", "Payment", "BIC", "Reference", "EndToEndId")
    for index in range(count):
        stream.write(separator + "<Creditor>")
        for name, value in zip(names, creditor_values(index)):
            stream.write(separator + _element(name, value))
        stream.write("</Creditor>")
    stream.write("</Creditors></CreditTransfer>\n")


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    count = int(argv[1])
    with open(argv[2], "w", encoding="ascii", newline="\n") as stream:
        write_document(count, stream)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
