#!/usr/bin/env python3
"""Runs the pain.001 stylesheet over sample credit transfer documents with
xsltproc, checks the values and the element layout of every result, and
validates the results against the ISO 20022 schema and its SEPA (EPC)
restriction with xmllint.

The schemas are the repository's copy in third_party/iso20022 (or those in
--schemas DIR); a folder without them fails the check.

    pain001_stylesheet_output_check.py [--schemas DIR]
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from decimal import Decimal
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import make_credit_transfer_document as generator  # noqa: E402

TESTS_DIR = Path(__file__).resolve().parent
COMPONENT_DIR = TESTS_DIR.parent.parent
REPOSITORY_ROOT = COMPONENT_DIR.parent.parent
STYLESHEET = COMPONENT_DIR / "resources" / "Pain001.xslt"
DATA_DIR = TESTS_DIR / "data"
DEFAULT_SCHEMA_DIR = REPOSITORY_ROOT / "third_party" / "iso20022"
SCHEMAS = ("pain.001.001.03.xsd", "pain.001.001.03-epc.xsd")

NS = "urn:iso:std:iso:20022:tech:xsd:pain.001.001.03"
XSI = "http://www.w3.org/2001/XMLSchema-instance"


def q(path):
    """Qualifies every step of a slash-separated path with the namespace."""
    return "/".join("{%s}%s" % (NS, step) for step in path.split("/"))


# The element layout that every file must have; the transactions are
# checked separately because their number varies.
HEADER_SHAPE = (
    "CstmrCdtTrfInitn", [
        ("GrpHdr", [
            ("MsgId", []), ("CreDtTm", []), ("NbOfTxs", []), ("CtrlSum", []),
            ("InitgPty", [("Id", [("PrvtId", [("Othr", [("Id", [])])])])]),
        ]),
        ("PmtInf", [
            ("PmtInfId", []), ("PmtMtd", []), ("BtchBookg", []),
            ("NbOfTxs", []), ("CtrlSum", []),
            ("PmtTpInf", [("InstrPrty", []), ("SvcLvl", [("Cd", [])])]),
            ("ReqdExctnDt", []),
            ("Dbtr", [("Nm", []), ("PstlAdr", [("Ctry", [])])]),
            ("DbtrAcct", [("Id", [("IBAN", [])]), ("Ccy", [])]),
            ("DbtrAgt", [("FinInstnId", [("BIC", [])])]),
            ("ChrgBr", []),
        ]),
    ])

TRANSACTION_SHAPE = (
    "CdtTrfTxInf", [
        ("PmtId", [("InstrId", []), ("EndToEndId", [])]),
        ("Amt", [("InstdAmt", [])]),
        ("CdtrAgt", [("FinInstnId", [("BIC", [])])]),
        ("Cdtr", [("Nm", []), ("PstlAdr", [("Ctry", [])])]),
        ("CdtrAcct", [("Id", [("IBAN", [])])]),
    ])


def shape_of(element, skip_transactions=False):
    children = [child for child in element
                if not (skip_transactions and child.tag == q("CdtTrfTxInf"))]
    return (element.tag.split("}")[-1],
            [shape_of(child, skip_transactions) for child in children])


class Results:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, case, what, condition, detail=""):
        if condition:
            self.passed += 1
        else:
            self.failed += 1
            print("FAIL %s: %s %s" % (case, what, detail))

    def equal(self, case, what, actual, expected):
        self.check(case, what, actual == expected,
                   "got %r, expected %r" % (actual, expected))


def text(root, path):
    element = root.find(q(path))
    if element is None:
        return None
    return element.text or ""


def transform(source, target):
    result = subprocess.run(
        ["xsltproc", "--nonet", "--output", str(target), str(STYLESHEET),
         str(source)],
        capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError("xsltproc failed on %s: %s" % (source, result.stderr))


def check_common_layout(results, case, output, transaction_count):
    raw = output.read_text(encoding="utf-8")
    results.check(case, "declares UTF-8",
                  raw.startswith('<?xml version="1.0" encoding="UTF-8"?>'))
    results.check(case, "root declares the xsi prefix",
                  'xmlns:xsi="%s"' % XSI in raw.split(">", 2)[1])
    root = ET.parse(output).getroot()
    results.equal(case, "root element", root.tag, "{%s}Document" % NS)
    initiation = root.find(q("CstmrCdtTrfInitn"))
    results.equal(case, "header layout",
                  shape_of(initiation, skip_transactions=True), HEADER_SHAPE)
    transactions = initiation.findall(q("PmtInf/CdtTrfTxInf"))
    results.equal(case, "transaction count", len(transactions), transaction_count)
    wrong = [number for number, transaction in enumerate(transactions, 1)
             if shape_of(transaction) != TRANSACTION_SHAPE
             or transaction.find(q("Amt/InstdAmt")).attrib != {"Ccy": "EUR"}]
    results.check(case, "layout and currency of every transaction", not wrong,
                  "wrong in transactions %s" % wrong[:10])
    return raw, initiation, transactions


def check_values(results, case, element, expected):
    for path, value in expected.items():
        results.equal(case, path, text(element, path), value)


# Hand-derived expectations for the sample documents in data/.
SAMPLES = {
    "three-creditors.xml": {
        "valid": True,
        "header": {
            "GrpHdr/MsgId": "SEPA130521140309",
            "GrpHdr/CreDtTm": "2013-05-21T14:03:09",
            "GrpHdr/NbOfTxs": "3",
            "GrpHdr/CtrlSum": "1001234.75",
            # The OIN is empty.
            "GrpHdr/InitgPty/Id/PrvtId/Othr/Id": "999999",
            "PmtInf/PmtInfId": "CREDITOR PAYMENTS 21052013",
            "PmtInf/PmtMtd": "TRF",
            "PmtInf/BtchBookg": "true",
            "PmtInf/NbOfTxs": "3",
            "PmtInf/CtrlSum": "1001234.75",
            "PmtInf/PmtTpInf/InstrPrty": "NORM",
            "PmtInf/PmtTpInf/SvcLvl/Cd": "SEPA",
            "PmtInf/ReqdExctnDt": "2013-05-23",
            "PmtInf/Dbtr/Nm": "Tavrin Holdings",
            "PmtInf/Dbtr/PstlAdr/Ctry": "DE",
            "PmtInf/DbtrAcct/Id/IBAN": "DE89370400440532013000",
            "PmtInf/DbtrAcct/Ccy": "EUR",
            "PmtInf/DbtrAgt/FinInstnId/BIC": "COBADEFFXXX",
            "PmtInf/ChrgBr": "SLEV",
        },
        "transactions": [
            {
                # A short reference is padded with blanks to 18 characters.
                "PmtId/InstrId": "INV4200001",
                "PmtId/EndToEndId": "INV 42            13052114030900001",
                "Amt/InstdAmt": "1234.50",
                "CdtrAgt/FinInstnId/BIC": "NWBKGB2L",
                "Cdtr/Nm": "Fish & Chips Ltd",
                "Cdtr/PstlAdr/Ctry": "GB",
                "CdtrAcct/Id/IBAN": "GB29NWBK60161331926819",
            },
            {
                # A 40-character reference: cut to 30 then blanks removed
                # for InstrId, cut to 18 for EndToEndId.
                "PmtId/InstrId": "ORDER2013-05NO000123ABCDEF00002",
                "PmtId/EndToEndId": "ORDER 2013-05 NO 013052114030900002",
                "Amt/InstdAmt": "1000000.00",
                "CdtrAgt/FinInstnId/BIC": "BKAUATWW",
                "Cdtr/Nm": "A<B Trading GmbH",
                "Cdtr/PstlAdr/Ctry": "AT",
                "CdtrAcct/Id/IBAN": "AT611904300234573201",
            },
            {
                # The payer's name stands in for a missing reference.
                "PmtId/InstrId": "TavrinHoldings00003",
                "PmtId/EndToEndId": "Tavrin Holdings   13052114030900003",
                "Amt/InstdAmt": "0.25",
                "CdtrAgt/FinInstnId/BIC": "PSSTFRPPLIL",
                "Cdtr/Nm": "Velmora Supplies",
                "Cdtr/PstlAdr/Ctry": "FR",
                "CdtrAcct/Id/IBAN": "FR1420041010050500013M02606",
            },
        ],
        # Special characters reach the file escaped, never doubled.
        "raw_contains": ["<Nm>Fish &amp; Chips Ltd</Nm>",
                         "<Nm>A&lt;B Trading GmbH</Nm>"],
        # The creditor reference is not carried into the file.
        "raw_lacks": ["Invoice 42"],
    },
    "two-payments-with-oin.xml": {
        "valid": True,
        "header": {
            "GrpHdr/MsgId": "SEPA130102030405",
            "GrpHdr/CreDtTm": "2013-01-02T03:04:05",
            "GrpHdr/NbOfTxs": "2",
            "GrpHdr/CtrlSum": "10.25",
            "GrpHdr/InitgPty/Id/PrvtId/Othr/Id": "VELMORA-OIN-0042",
            "PmtInf/PmtInfId": "CREDITOR PAYMENTS 02012013",
            "PmtInf/NbOfTxs": "2",
            "PmtInf/CtrlSum": "10.25",
            "PmtInf/ReqdExctnDt": "2014-03-05",
            "PmtInf/Dbtr/PstlAdr/Ctry": "IE",
        },
        "transactions": [
            {"PmtId/InstrId": "PO700001",
             "PmtId/EndToEndId": "PO 7              13010203040500001",
             "Amt/InstdAmt": "10.00"},
            {"PmtId/InstrId": "PO800002",
             "PmtId/EndToEndId": "PO 8              13010203040500002",
             "Amt/InstdAmt": "0.25"},
        ],
    },
    "single-half-euro.xml": {
        "valid": True,
        "header": {
            # A control sum below one has no integer digit.
            "GrpHdr/CtrlSum": ".50",
            "PmtInf/CtrlSum": ".50",
            "GrpHdr/NbOfTxs": "1",
            "GrpHdr/InitgPty/Id/PrvtId/Othr/Id": "123",
        },
        "transactions": [
            {"PmtId/InstrId": "REF-100001", "Amt/InstdAmt": "0.50"},
        ],
    },
    "missing-values.xml": {
        # Empty IBANs cannot pass the schemas; only the values are checked.
        "valid": False,
        "header": {
            # An OIN held as an empty text node counts as empty too.
            "GrpHdr/InitgPty/Id/PrvtId/Othr/Id": "999999",
            "PmtInf/Dbtr/PstlAdr/Ctry": "",
            "PmtInf/DbtrAcct/Id/IBAN": "",
        },
        "transactions": [
            {"PmtId/InstrId": "00001",
             "PmtId/EndToEndId": " " * 18 + "15123123595900001",
             "Cdtr/PstlAdr/Ctry": "",
             "CdtrAcct/Id/IBAN": ""},
        ],
    },
}

GENERATED_COUNT = 1200


def check_sample(results, name, expected, work_dir):
    output = work_dir / (Path(name).stem + ".pain001.xml")
    transform(DATA_DIR / name, output)
    raw, initiation, transactions = check_common_layout(
        results, name, output, len(expected["transactions"]))
    check_values(results, name, initiation, expected["header"])
    for number, (transaction, values) in enumerate(
            zip(transactions, expected["transactions"]), 1):
        check_values(results, "%s transaction %d" % (name, number),
                     transaction, values)
    for fragment in expected.get("raw_contains", []):
        results.check(name, "file contains %r" % fragment, fragment in raw)
    for fragment in expected.get("raw_lacks", []):
        results.check(name, "file lacks %r" % fragment, fragment not in raw)
    return output if expected["valid"] else None


def check_generated(results, work_dir):
    """A larger document: counts, the control sum and the sequence numbers
    past the first few, against values worked out from the generator."""
    case = "generated %d payments" % GENERATED_COUNT
    source = work_dir / "generated.xml"
    with open(source, "w", encoding="ascii", newline="\n") as stream:
        generator.write_document(GENERATED_COUNT, stream)
    output = work_dir / "generated.pain001.xml"
    transform(source, output)
    _, initiation, transactions = check_common_layout(
        results, case, output, GENERATED_COUNT)
    total = "%.2f" % generator.amount_total(GENERATED_COUNT)
    check_values(results, case, initiation, {
        "GrpHdr/NbOfTxs": str(GENERATED_COUNT),
        "PmtInf/NbOfTxs": str(GENERATED_COUNT),
        "GrpHdr/CtrlSum": total,
        "PmtInf/CtrlSum": total,
    })
    wrong = []
    for index, transaction in enumerate(transactions):
        sequence = "%05d" % (index + 1)
        values = generator.creditor_values(index)
        if not (text(transaction, "PmtId/InstrId").endswith(sequence)
                and text(transaction, "PmtId/EndToEndId").endswith(
                    "130521140309" + sequence)
                and len(text(transaction, "PmtId/EndToEndId")) == 35
                and text(transaction, "Amt/InstdAmt") == values[2]
                and text(transaction, "Cdtr/Nm") == values[0]):
            wrong.append(index + 1)
    results.check(case, "every transaction carries its own sequence number,"
                  " amount and name", not wrong,
                  "wrong at %s" % wrong[:10])
    return output


def validate(results, output, schema_dir):
    for schema in SCHEMAS:
        result = subprocess.run(
            ["xmllint", "--noout", "--nonet", "--schema",
             str(schema_dir / schema), str(output)],
            capture_output=True, text=True)
        results.check(output.name, "valid against %s" % schema,
                      result.returncode == 0, result.stderr.strip())


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--schemas", type=Path, default=DEFAULT_SCHEMA_DIR,
                        help="folder holding %s" % " and ".join(SCHEMAS))
    arguments = parser.parse_args()

    missing_tools = [tool for tool in ("xsltproc", "xmllint")
                     if shutil.which(tool) is None]
    if missing_tools:
        print("ERROR: %s not found; install the xsltproc and libxml2-utils"
              " packages" % " and ".join(missing_tools))
        return 1

    results = Results()
    with tempfile.TemporaryDirectory() as work:
        work_dir = Path(work)
        to_validate = [check_sample(results, name, expected, work_dir)
                       for name, expected in SAMPLES.items()]
        to_validate.append(check_generated(results, work_dir))

        schema_dir = arguments.schemas.resolve()
        absent = [s for s in SCHEMAS if not (schema_dir / s).is_file()]
        results.check(str(schema_dir), "holds %s" % " and ".join(SCHEMAS),
                      not absent, "missing " + " and ".join(absent))
        if not absent:
            for output in to_validate:
                if output is not None:
                    validate(results, output, schema_dir)

    print("%d passed, %d failed" % (results.passed, results.failed))
    return 1 if results.failed else 0


if __name__ == "__main__":
    sys.exit(main())
