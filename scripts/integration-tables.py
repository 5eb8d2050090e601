#!/usr/bin/env python3
"""The code and message tables of docs/integration.md, built from the component's sources.

    scripts/integration-tables.py [--check]   fails, naming the first table that differs
    scripts/integration-tables.py --write     rewrites the tables in the guide

Each table stands in the guide between "<!-- table: NAME -->" and "<!-- end table -->".
Every table is built from the sources it describes, read as data by scripts/component_facts.py
(registry scripts, the class, category, error, status, code, file name and message rows that
the C++ includes, IDL, string table) or here (stylesheet, class headers). A source whose form
has changed so that a table can no longer be read fails loudly: a table is never written
empty or from a guess. Python 3, standard library only.
"""
import argparse
import pathlib
import re
import sys
import xml.etree.ElementTree as ET

# The reader of the component's facts, which the installer's registry tables share; importing it
# leaves no compiled copy in the source tree.
sys.dont_write_bytecode = True
import component_facts as facts  # noqa: E402
from component_facts import SourceError  # noqa: E402

ROOT = pathlib.Path(__file__).resolve().parent.parent
GUIDE = ROOT / "docs" / "integration.md"
COMPONENT = "EBanking/TavrinBankOfVelmoraSEPA"
SOURCES = str(ROOT / COMPONENT)
HOST_IDL = "EBanking/TavrinHost/idl"


def fail(message):
    raise SourceError(message)


def read(relative):
    path = ROOT / relative
    if not path.is_file():
        fail("%s: file missing" % relative)
    return path.read_text(encoding="utf-8", errors="strict")


def need(pattern, text, what, flags=re.S):
    match = re.search(pattern, text, flags)
    if not match:
        fail("%s: not found" % what)
    return match


def same_set(what, found, described):
    missing = sorted(set(found) - set(described))
    stale = sorted(set(described) - set(found))
    if missing or stale:
        fail("%s: the sources have %s undescribed here, this script describes %s the sources lack"
             % (what, missing or "nothing", stale or "nothing"))


def code(text):
    if "`" in text:
        fail("a value holds a backtick: %r" % text)
    return "`%s`" % text


def table(header, rows):
    if not rows:
        fail("table with header %r came out empty" % (header,))
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    for row in rows:
        if len(row) != len(header):
            fail("row %r does not fit header %r" % (row, header))
        lines.append("| " + " | ".join(str(cell).replace("|", "\\|") for cell in row) + " |")
    return "\n".join(lines)


def shown(text):
    """A message text as one line: line feeds written as \\n."""
    return text.replace("\n", "\\n")


# ---------------------------------------------------------------------------------------------
# IDL

def all_interfaces():
    found = {}
    for name in ("TavrinEBanking.idl", "TavrinBankPayments.idl"):
        found.update(facts.parse_idl(str(ROOT / HOST_IDL / name))[0])
    own, library = facts.component_type_library(SOURCES)
    found.update(own)
    return found, own, library


def type_library_of(interface):
    return {"TavrinEBanking.idl": "host, TavrinEBanking.tlb",
            "TavrinBankPayments.idl": "host, TavrinBankPayments.tlb",
            "TavrinBankOfVelmoraSEPA.idl": "component"}[interface["file"]]


def chain(name, interfaces):
    names = [name]
    while names[-1] in interfaces:
        names.append(interfaces[names[-1]]["base"])
    return " → ".join(code(n) for n in names)


def member_list(members, keep=lambda member: True):
    merged = {}
    for name, kind, dispid in members:
        if not keep((name, kind)):
            continue
        entry = merged.setdefault(name, [[], dispid])
        entry[0].append(kind)
    out = []
    for name, (kinds, dispid) in merged.items():
        words = [k for k in kinds if k != "call"]
        label = name + (" (%s)" % ", ".join(words) if words else "()")
        out.append(label + (" [%s]" % dispid if dispid else ""))
    return ", ".join(out) if out else "none"


# ---------------------------------------------------------------------------------------------
# Classes, registration, type library

def class_script(script):
    """What a class's registry script registers: its CLSID, ProgIDs, description, threading
    model and type library."""
    lines = facts.script_lines(SOURCES, script, "%MODULE%")
    progids = [(path[: -len("\\CLSID")], data) for keyword, path, _, data in lines
               if keyword == "key" and path.endswith("\\CLSID") and "\\" not in path[: -len("\\CLSID")]]
    if len(progids) != 2:
        fail("%s: expected two ProgID keys with a CLSID" % script)
    versioned = [p for p, _ in progids if re.search(r"\.\d+$", p)]
    independent = [p for p, _ in progids if not re.search(r"\.\d+$", p)]
    clsid = progids[0][1]
    if len(versioned) != 1 or len(independent) != 1 or progids[1][1] != clsid:
        fail("%s: ProgIDs do not read as one versioned and one version-independent" % script)
    class_key = "CLSID\\" + clsid

    def data(keyword, path, name, what):
        found = [d for k, p, n, d in lines if k == keyword and p == path and n == name and d is not None]
        if len(found) != 1:
            fail("%s %s: not found" % (script, what))
        return found[0]

    curver = data("key", independent[0] + "\\CurVer", None, "CurVer")
    if curver != versioned[0]:
        fail("%s: CurVer does not name the versioned ProgID" % script)
    return {"clsid": clsid, "progid": versioned[0], "independent": independent[0],
            "description": data("forceremove", class_key, None, "class key"),
            "threading": data("value", class_key + "\\InprocServer32", "ThreadingModel", "ThreadingModel"),
            "typelib": data("key", class_key + "\\TypeLib", None, "TypeLib")}


def table_classes():
    resource_ids = facts.resource_ids(SOURCES)
    files = facts.registry_script_files(SOURCES)
    registered = {script for _, script, _ in facts.classes(SOURCES)}
    _, _, library = all_interfaces()
    rows = []
    for script_id in sorted(files, key=lambda s: resource_ids[s]):
        entry = class_script(files[script_id])
        name = entry["independent"].split(".", 1)[1]
        if entry["typelib"] != library["libid"]:
            fail("%s: TypeLib %s is not the library's %s" % (files[script_id], entry["typelib"], library["libid"]))
        if script_id in registered:
            if library["coclasses"].get(name, {}).get("clsid") != entry["clsid"]:
                fail("%s: CLSID differs from the coclass %s in the IDL" % (files[script_id], name))
            state = "yes"
        else:
            state = "no: script carried (resource %s), not in the class table" % resource_ids[script_id]
        rows.append((code(name), code(entry["clsid"]), code(entry["progid"]), code(entry["independent"]),
                     entry["description"], entry["threading"], state))
    return table(("Class", "CLSID", "ProgID", "Version-independent ProgID", "Description", "Threading model",
                  "Registered"), rows)


def table_type_library():
    _, _, library = all_interfaces()
    resource = facts.resource_ids(SOURCES).get("IDR_TYPELIB")
    if resource is None:
        fail("resource.h: IDR_TYPELIB not found")
    need(r"IDR_TYPELIB\s+TYPELIB\s+\"", read(COMPONENT + "/resources/TavrinBankOfVelmoraSEPA.rc"),
         "the TYPELIB resource")
    lcid = library["lcid"]
    if not library["imports"]:
        fail("TavrinBankOfVelmoraSEPA.idl: no importlib")
    rows = [
        ("Name", code(library["name"])),
        ("LIBID", code(library["libid"])),
        ("Version", library["version"]),
        ("Locale", str(lcid) + (" (English, United States)" if lcid == 1033 else "")),
        ("Help string", library["help"]),
        ("Imports", ", ".join(code(name) for name in library["imports"])),
        ("Stored as", "resource %d of type TYPELIB in the DLL" % resource),
    ]
    return table(("Property", "Value"), rows)


def table_interfaces():
    interfaces, own, library = all_interfaces()
    defaults = {c["default"]: name for name, c in library["coclasses"].items() if c["default"]}
    rows = []
    for name, entry in own.items():
        base = entry["base"]
        if base not in interfaces:
            fail("base %s of %s is in no IDL" % (base, name))
        rows.append((code(name), code("{%s}" % entry["iid"]), ", ".join(entry["flags"]), entry["help"],
                     chain(base, interfaces) + " " + code("{%s}" % interfaces[base]["iid"]),
                     member_list(entry["members"]), code(defaults.get(name, "none"))))
    return table(("Interface", "IID", "Flags", "Help string", "Derives from", "Own members", "Default of"), rows)


def table_category():
    catids = facts.categories(SOURCES)
    _, _, library = all_interfaces()
    rows = []
    for name, _, category in facts.classes(SOURCES):
        if category is None:
            continue
        if name not in library["coclasses"]:
            fail("class %s is no coclass of the IDL" % name)
        clsid = library["coclasses"][name]["clsid"]
        catid = catids[category]
        rows.append((code(name), code(catid), code("HKEY_CLASSES_ROOT\\CLSID\\%s\\Implemented Categories\\%s"
                                                    % (clsid, catid))))
    return table(("Class", "Category (CATID)", "Key written at registration"), rows)


CLASS_FILES = {"Bank": "Bank.h", "BankServices": "BankServices.h", "BankPaymentService": "BankPaymentService.h"}
SYSTEM_INTERFACES = {"IDispatch": "{00020400-0000-0000-C000-000000000046}",
                     "ISupportErrorInfo": "{DF0B3D60-548F-101B-8E65-08002B2BF9E0}"}


def table_implemented():
    interfaces, _, _ = all_interfaces()
    same_set("classes of the class table", [n for n, _, _ in facts.classes(SOURCES)], CLASS_FILES)
    rows = []
    for name, header in CLASS_FILES.items():
        text = read("%s/component/%s" % (COMPONENT, header))
        listed = need(r"using Interfaces\s*=\s*ComInterfaces<(.*?)>;", text, header + " Interfaces").group(1)
        names = re.findall(r"\b(I\w+)\b", listed)
        if not names:
            fail(header + ": no interfaces listed")
        for interface in names:
            if interface in interfaces:
                entry = interfaces[interface]
                rows.append((code(name), code(interface), code("{%s}" % entry["iid"]), type_library_of(entry),
                             member_list(entry["members"])))
            elif interface in SYSTEM_INTERFACES:
                rows.append((code(name), code(interface), code(SYSTEM_INTERFACES[interface]), "system", "standard"))
            else:
                fail("%s: interface %s is in no IDL and is no known system interface" % (header, interface))
    return table(("Class", "Interface", "IID", "Defined by", "Members (DISPID)"), rows)


CALLED_INTERFACES = ("IPaymentBatch", "IPayment", "IPaymentEx", "IIdentificationList", "IIdentification",
                     "IBankSettings")


def component_sources():
    texts = []
    for path in sorted((ROOT / COMPONENT).rglob("*")):
        parts = path.relative_to(ROOT / COMPONENT).parts
        if path.suffix in (".cpp", ".h") and "tests" not in parts:
            texts.append(path.read_text(encoding="utf-8"))
    if not texts:
        fail("no component sources found")
    return "\n".join(texts)


def is_called(sources, name, kind):
    method = name if kind == "call" else "%s_%s" % (kind, name)
    return re.search(r"(->|::|\.)%s\b" % re.escape(method), sources) is not None


def table_host_calls():
    interfaces, _, _ = all_interfaces()
    sources = component_sources()
    rows = []
    for name in CALLED_INTERFACES:
        if name not in interfaces:
            fail("host interface %s is in no IDL" % name)
        entry = interfaces[name]
        real = [m for m in entry["members"] if not m[0].startswith("Unused")]
        called = member_list(real, lambda m: is_called(sources, *m))
        not_called = member_list(real, lambda m: not is_called(sources, *m))
        rows.append((code(name), code("{%s}" % entry["iid"]), chain(entry["base"], interfaces), called, not_called))
    return table(("Interface", "IID", "Derives from", "Members the component calls", "Members it never calls"),
                 rows)


# ---------------------------------------------------------------------------------------------
# Run status, result codes, errors

RUN_STATUS_MEANING = {
    "kRunDone": "The file was written and every payment passed validation. Also the value at the start of "
                "every run and of a new payment service.",
    "kRunDoneWithInvalidPayments": "The file was written, but at least one payment failed validation; the "
                                   "file still holds every payment. The result codes say which failed.",
    "kRunFileNotCreated": "No file: the file could not be written, the batch holds more than 99,999 "
                          "payments, or the batch could not be walked (left by the validation and kept "
                          "only when the run then ends by an error).",
    "kRunCancelled": "The payment details dialog did not end with OK (Cancel, closed, or it could not open). "
                     "No file.",
}


def table_run_status():
    found = facts.run_statuses(SOURCES)
    same_set("run statuses", [name for name, _ in found], RUN_STATUS_MEANING)
    rows = [(str(value), code(name), RUN_STATUS_MEANING[name]) for name, value in found]
    return table(("Status", "Name in the sources", "Meaning"), rows)


RESULT_CODE_WHEN = {
    "kPaymentPassed": "every payment, first; stays when no check fails",
    "kInvalidAmount": "the amount could not be read, is not a finite number, or is below 0.005 (rounds to 0.00)",
    "kAmountTooLong": "the amount is 999,999,999.995 or more (more than eleven digits with two decimals)",
    "kInvalidPayerName": "the payer account name is empty after transliteration and cleaning",
    "kInvalidPayeeName": "the payee account name is empty after transliteration and cleaning",
    "kMissingPaymentDetails": "the payment does not offer IPaymentEx; nothing else of it is read, and the run status becomes 2",
    "kInvalidCurrency": "either currency code is not 978 (euro); the amount is then set to 0.00",
    "kInvalidPayerIban": "the payer IBAN fails the IBAN format check",
    "kInvalidPayerBic": "the payer BIC fails the BIC format check",
    "kInvalidPayeeIban": "the payee IBAN fails the IBAN format check",
    "kInvalidPayeeBic": "the payee BIC fails the BIC format check",
}


def table_result_codes():
    base = facts.resource_ids(SOURCES).get("IDS_RESULT_MESSAGES")
    if base is None:
        fail("resource.h: IDS_RESULT_MESSAGES not found")
    entries = facts.string_table(SOURCES)
    constants = facts.result_codes(SOURCES)
    same_set("result code constants", [n for n, _ in constants], RESULT_CODE_WHEN)
    # A code is set by the component when a source of the validation names it.
    validation = "\n".join(p.read_text(encoding="utf-8") for p in sorted((ROOT / COMPONENT / "validation").glob("*.cpp")))
    by_code = {}
    for name, value in constants:
        if re.search(r"\b%s\b" % name, validation):
            by_code[value] = name
    ranges = facts.result_message_ranges(SOURCES)
    texts = {n - base: t for n, t in entries}
    for name, value in constants:
        if value not in texts:
            fail("result code %s (%d) has no string %d" % (name, value, base + value))
    rows = []
    for number, text in entries:
        result = number - base
        if not any(a <= result <= b for a, b in ranges):
            fail("string %d (code %d) is outside the codes GetResultMessage serves" % (number, result))
        setter = by_code.get(result)
        rows.append((str(result), str(number), text,
                     "yes: " + RESULT_CODE_WHEN[setter] if setter else "no (carried for the host)"))
    return table(("Code", "String", "Message (exact text)", "Set by the component"), rows)


def table_com_errors():
    found = facts.com_errors(SOURCES)
    rows = [(code(thrown), code("0x%08X" % returned), code(description)) for thrown, returned, description in found]
    # A failure code without a row of its own is reported as the first row.
    rows.append(("any other failure code", code("0x%08X" % found[0][1]), code(found[0][2])))
    return table(("Failure inside the method", "HRESULT returned", "Error description (IErrorInfo)"), rows)


# ---------------------------------------------------------------------------------------------
# Files and folders

FILE_NAMES = ("kHostDataSubfolder", "kMappingOverrideFileName", "kOutputFileNamePrefix", "kOutputFileTimeStampFormat",
              "kOutputFileNameSuffix", "kOutputFileExtension", "kVirtualStoreFolder")


def table_files():
    need(r"CSIDL_COMMON_APPDATA", read(COMPONENT + "/settings/DataFolder.cpp"), "DataFolder.cpp common application data")
    names = facts.file_names(SOURCES)
    same_set("file names", names, FILE_NAMES)
    sub = names["kHostDataSubfolder"]
    mapping = names["kMappingOverrideFileName"]
    if not mapping.startswith("\\"):
        fail("FileNames.inc: the mapping file name no longer starts with its separator")
    if names["kOutputFileTimeStampFormat"] != "%04d%02d%02d%02d%02d%02d":
        fail("FileNames.inc: the time stamp is no longer yyyyMMddHHmmss")
    def file_name(stamp):
        return names["kOutputFileNamePrefix"] + stamp + names["kOutputFileNameSuffix"] + "." + names["kOutputFileExtension"]

    store = names["kVirtualStoreFolder"]
    rows = [
        ("The host's data folder", code("<common application data>\\" + sub),
         "usually " + code("C:\\ProgramData\\" + sub) + "; neither created nor checked by the component"),
        ("Character mapping override file", code(mapping[1:]), "in the data folder; optional"),
        ("Payment file name", code(file_name("yyyyMMddHHmmss")),
         "date and time of the run in UTC, e.g. " + code(file_name("20140306160321"))),
        ("Redirected copy", code("<local application data>" + store + "<path without its drive>"),
         "where Windows puts a file that a process without elevation wrote into a protected folder"),
    ]
    return table(("What", "Name or place", "Notes"), rows)


# ---------------------------------------------------------------------------------------------
# The payment file

XSL = "{http://www.w3.org/1999/XSL/Transform}"
PAIN = "{urn:iso:std:iso:20022:tech:xsd:pain.001.001.03}"
DOCUMENT = "EBanking/TavrinBankOfVelmoraSEPA/sepa/CreditTransferDocument.cpp"

# Where each value of the credit transfer document comes from, and the source text that makes it
# so: each snippet must stand in CreditTransferDocument.cpp.
DOCUMENT_SOURCES = {
    "CreationDateAndTime": ("the local date and time when the file is made, yyyy-MM-ddTHH:mm:ss",
                            ["AppendValue(root, names.creationDateAndTime, AsciiText(CreationDateAndTime(clock)).Get())"]),
    "RequiredExecutionDate": ("ExecutionDate of the first payment (as confirmed in the dialog), yyyy-MM-dd",
                              ["first->get_ExecutionDate(&executionDate)",
                               "AppendValue(root, names.requiredExecutionDate, AsciiText(ExecutionDate(executionDate)).Get())"]),
    "Debtor/Name": ("PayerAccountName of the first payment",
                    ["debtorName = Read(first, &IPayment::get_PayerAccountName)",
                     "AppendValue(debtor, names.name, debtorName.Get())"]),
    "Debtor/IBAN": ("PayerIBAN of the first payment",
                    ["debtorIban = Read(first, &IPaymentEx::get_PayerIBAN)",
                     "AppendValue(debtor, names.iban, debtorIban.Get())"]),
    "Debtor/BIC": ("PayerBIC of the first payment",
                   ["debtorBic = Read(first, &IPaymentEx::get_PayerBIC)",
                    "AppendValue(debtor, names.bic, debtorBic.Get())"]),
    "Debtor/Reference": ("the OIN confirmed in the dialog",
                         ["AppendValue(debtor, names.reference, debtorReference)"]),
    "Creditors/Creditor": ("one per payment, in batch order",
                           ["builder.AppendCreditor(creditors, payment)"]),
    "Creditors/Creditor/Name": ("PayeeAccountName of the payment",
                                ["values.text[0] = Read(payment, &IPayment::get_PayeeAccountName)"]),
    "Creditors/Creditor/IBAN": ("PayeeIBAN of the payment",
                                ["values.text[1] = Read(payment, &IPaymentEx::get_PayeeIBAN)"]),
    "Creditors/Creditor/Payment": ("Amount of the payment with two decimals and \".\"",
                                   ["values.text[2] = AsciiText(FormatAmount(amount))"]),
    "Creditors/Creditor/BIC": ("PayeeBIC of the payment",
                               ["values.text[3] = Read(payment, &IPaymentEx::get_PayeeBIC)"]),
    "Creditors/Creditor/EndToEndId": ("PaymentReference of the payment, or its PayerAccountName when that is empty",
                                      ["values.text[5] = Read(payment, &IPayment::get_PaymentReference)",
                                       "values.text[5] = Read(payment, &IPayment::get_PayerAccountName)"]),
}


CREDITOR_ORDER = ("const BSTR names[kCreditorValues] = {m_names.name.GetBSTR(), m_names.iban.GetBSTR(), "
                  "m_names.payment.GetBSTR(), m_names.bic.GetBSTR(), m_names.reference.GetBSTR(), "
                  "m_names.endToEndId.GetBSTR()};")


def check_document_sources():
    text = read(DOCUMENT)
    # The creditor's elements are written in the order of this list, whatever its layout.
    if CREDITOR_ORDER not in re.sub(r"\s+", " ", text):
        fail("CreditTransferDocument.cpp no longer has %r: the creditor's elements changed" % CREDITOR_ORDER)
    for path, (_, snippets) in DOCUMENT_SOURCES.items():
        for snippet in snippets:
            if snippet not in text:
                fail("CreditTransferDocument.cpp no longer has %r (source of %s)" % (snippet, path))


def squeeze(expression):
    """An XPath expression on one line: runs of white space outside its literals made one blank."""
    parts = re.split(r"('[^']*')", expression)
    for i in range(0, len(parts), 2):
        parts[i] = re.sub(r"\(\s+", "(", re.sub(r"\s+", " ", parts[i]))
    return "".join(parts).strip()


def references(expression, context):
    """Document paths an XPath expression reads, with variables and literals left out."""
    bare = re.sub(r"'[^']*'", "", expression)
    found = []
    for token in re.findall(r"(?<![\w$])/?[A-Z][A-Za-z]*(?:/[A-Z][A-Za-z]*)*", bare):
        path = token[len("/CreditTransfer/"):] if token.startswith("/CreditTransfer/") else context + token
        found.append(path)
    return found


class Stylesheet:
    def __init__(self):
        self.root = ET.fromstring(read(COMPONENT + "/resources/Pain001.xslt"))
        self.named = {t.get("name"): t for t in self.root.findall(XSL + "template") if t.get("name")}
        self.variables = [(v.get("name"), squeeze(v.get("select"))) for v in self.root.findall(XSL + "variable")]
        if not self.variables:
            fail("Pain001.xslt: no global variables")
        self.rows = []
        self.params = []
        self.repeat = None
        start = [t for t in self.root.findall(XSL + "template") if t.get("match") == "/"]
        if len(start) != 1 or [a.get("select") for a in start[0]] != ["CreditTransfer"]:
            fail("Pain001.xslt: the root template no longer applies CreditTransfer alone")
        body = [t for t in self.root.findall(XSL + "template") if t.get("match") == "CreditTransfer"]
        if len(body) != 1:
            fail("Pain001.xslt: no single CreditTransfer template")
        self.walk(body[0], [], "")

    def value_of(self, node):
        if node.tag == XSL + "value-of":
            return code(squeeze(node.get("select")))
        if node.tag == XSL + "choose":
            parts = []
            for branch in node:
                inner = [self.value_of(child) for child in branch] or [code(branch.text.strip())]
                if branch.tag == XSL + "when":
                    parts.append("%s when %s" % (inner[0], code(branch.get("test"))))
                elif branch.tag == XSL + "otherwise":
                    parts.append("otherwise " + inner[0])
                else:
                    fail("Pain001.xslt: unexpected %s in choose" % branch.tag)
            return ", ".join(parts)
        fail("Pain001.xslt: unsupported instruction %s in a value" % node.tag)

    def expressions(self, node):
        found = [node.get(attr) for attr in ("select", "test") if node.get(attr)]
        for child in node:
            found += self.expressions(child)
        return found

    def walk(self, node, path, context):
        for child in node:
            if child.tag == XSL + "call-template":
                template = self.named.get(child.get("name"))
                if template is None:
                    fail("Pain001.xslt: no template named %s" % child.get("name"))
                for param in child.findall(XSL + "with-param"):
                    self.params.append((param.get("name"), squeeze(param.get("select")), context))
                self.walk(template, path, context)
            elif child.tag == XSL + "for-each":
                self.repeat = child.get("select")
                self.walk(child, path, context + child.get("select") + "/")
            elif child.tag == XSL + "param":
                continue
            elif child.tag.startswith(PAIN):
                self.element(child, path + [child.tag[len(PAIN):]], context)
            else:
                fail("Pain001.xslt: unsupported instruction %s" % child.tag)

    def element(self, node, path, context):
        shown_path = "/".join(path[2:]) if path[:2] == ["Document", "CstmrCdtTrfInitn"] else "/".join(path)
        for attr, value in sorted(node.attrib.items()):
            self.rows.append((shown_path + "/@" + attr, code(value), "fixed"))
        text = (node.text or "").strip()
        results = [c for c in node if c.tag.startswith(PAIN)]
        instructions = [c for c in node if c.tag in (XSL + "value-of", XSL + "choose")]
        structure = [c for c in node if c.tag.startswith(XSL) and c not in instructions]
        if instructions and (results or structure):
            fail("Pain001.xslt: %s mixes a value with other content" % shown_path)
        if self.repeat:
            # The first element inside a for-each is the one that repeats.
            self.rows.append((shown_path, "one per " + code(self.repeat), self.source([self.repeat], "")))
            self.repeat = None
        if text and (results or instructions):
            fail("Pain001.xslt: %s mixes text with other content" % shown_path)
        if text:
            self.rows.append((shown_path, code(text), "fixed"))
        elif instructions and not results:
            if len(instructions) != 1:
                fail("Pain001.xslt: %s has more than one value instruction" % shown_path)
            self.rows.append((shown_path, self.value_of(instructions[0]),
                              self.source(self.expressions(instructions[0]), context)))
        elif results or structure:
            self.walk(node, path, context)
        elif not node.attrib:
            fail("Pain001.xslt: %s is empty" % shown_path)

    def source(self, expressions, context):
        paths, seen, pending = [], set(), list(expressions)
        variables = dict(self.variables)
        params = {name: (select, ctx) for name, select, ctx in self.params}
        contexts = [context] * len(pending)
        while pending:
            expression, ctx = pending.pop(0), contexts.pop(0)
            for name in re.findall(r"\$(\w+)", expression):
                if name in variables:
                    pending.append(variables[name]); contexts.append("")
                elif name in params:
                    pending.append(params[name][0]); contexts.append(params[name][1])
                else:
                    fail("Pain001.xslt: unknown variable $%s" % name)
            for path in references(expression, ctx):
                if path not in seen:
                    seen.add(path)
                    paths.append(path)
        for path in paths:
            if path not in DOCUMENT_SOURCES:
                fail("Pain001.xslt reads %s, whose source this script does not know" % path)
        return "; ".join("%s: %s" % (code(p), DOCUMENT_SOURCES[p][0]) for p in paths) or "fixed"


def table_elements():
    check_document_sources()
    sheet = Stylesheet()
    return table(("Element (under Document/CstmrCdtTrfInitn)", "Value as the stylesheet writes it",
                  "From"), sheet.rows)


def table_stylesheet_variables():
    sheet = Stylesheet()
    rows = [("$" + name, code(select), sheet.source([select], "")) for name, select in sheet.variables]
    rows += [("$" + name, code(select), "the position among " + code(ctx.rstrip("/")) + ", from 1")
             for name, select, ctx in sheet.params]
    return table(("Variable", "Definition", "From"), rows)


# ---------------------------------------------------------------------------------------------
# Message boxes

MESSAGE_BOX_WHEN = {
    "Too many payments": "the batch holds more than 99,999 payments; no dialog, no file, run status 2",
    "Invalid default path": "before the dialog, when the host's default payment directory cannot be found "
                            "or is too long; the run goes on with the fallback folder",
    "Processing Details": "Cancel, Esc or the close box in the payment details dialog; Yes ends the run "
                          "with status 3",
    "File already exists": "OK in the dialog when a file already stands at the chosen path; No returns to "
                           "the dialog",
    "Errors encountered": "OK in the dialog with values that fail the checks; one line per failed check "
                          "(table below), and the dialog stays open",
    "Please note": "never in this version: no dialog check asks it",
    "Failed to create file": "the file could not be written; run status 2",
    "Windows Redirect": "after the file was written, when Windows stored it in the virtual store; Yes opens "
                        "that folder",
}

MESSAGE_BOX_FLAGS = {"MB_OK": "OK", "MB_YESNO": "Yes, No", "MB_ICONERROR": "error icon",
                     "MB_ICONQUESTION": "question icon", "MB_ICONINFORMATION": "information icon"}

def table_message_boxes():
    boxes = facts.message_boxes(SOURCES)
    same_set("message box captions", [caption for _, caption, _, _ in boxes], MESSAGE_BOX_WHEN)
    sources = component_sources()
    rows = []
    for name, caption, text, flags in boxes:
        # A box that no source shows would be described for nothing.
        if not re.search(r"\b%s\b" % name, sources):
            fail("MessageBoxes.inc: no source shows %s" % name)
        if any(f not in MESSAGE_BOX_FLAGS for f in flags):
            fail("MessageBoxes.inc: unknown message box flags %s" % " | ".join(flags))
        buttons = [MESSAGE_BOX_FLAGS[f] for f in flags if not f.startswith("MB_ICON")]
        icons = [MESSAGE_BOX_FLAGS[f] for f in flags if f.startswith("MB_ICON")]
        rows.append((caption, text, ", ".join(buttons + icons)))
    order = list(MESSAGE_BOX_WHEN)
    rows = [(code(caption), code(shown(text)), buttons, MESSAGE_BOX_WHEN[caption])
            for caption, text, buttons in sorted(rows, key=lambda row: order.index(row[0]))]
    return table(("Caption", "Text (\\n is a line break)", "Buttons", "Shown when"), rows)


DIALOG_CHECKS = {
    "kDateInPast": "Requested execution date before today",
    "kDateTooFarAhead": "Requested execution date more than 60 days after today",
    "kDateNotWorkingDay": "Requested execution date on a Saturday or Sunday",
    "kInvalidOin": "OIN (blanks trimmed) shorter than 6 or longer than 35 characters, or holding a character "
                   "other than A-Z, a-z, 0-9, space and /-?:().,+'",
    "kMissingFilePath": "No save path (blanks trimmed)",
    "kFilePathTooLong": "Save path longer than 32,767 characters",
    "kFilePathCharacters": "Save path (blanks trimmed) with characters that the ANSI code page cannot hold as "
                           "themselves; the characters follow the text",
    "kFilePathUnusable": "The same, when the whole path does not convert although each character does",
}


def table_dialog_errors():
    found = facts.check_messages(SOURCES)
    same_set("dialog check messages", [name for name, _ in found], DIALOG_CHECKS)
    rows = [(DIALOG_CHECKS[name], code(shown(text))) for name, text in found]
    return table(("Check on OK", "Line in \"Errors encountered\" (\\n is a line break)"), rows)


# ---------------------------------------------------------------------------------------------

TABLES = {
    "classes": table_classes,
    "type-library": table_type_library,
    "interfaces": table_interfaces,
    "category": table_category,
    "implemented": table_implemented,
    "host-calls": table_host_calls,
    "com-errors": table_com_errors,
    "run-status": table_run_status,
    "result-codes": table_result_codes,
    "files": table_files,
    "elements": table_elements,
    "stylesheet-variables": table_stylesheet_variables,
    "message-boxes": table_message_boxes,
    "dialog-errors": table_dialog_errors,
}

BLOCK = re.compile(r"(<!-- table: ([\w-]+) -->\n)(.*?)(<!-- end table -->)", re.S)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    mode = parser.add_mutually_exclusive_group()
    mode.add_argument("--check", action="store_true", help="fail when a table differs (the default)")
    mode.add_argument("--write", action="store_true", help="rewrite the tables in the guide")
    parser.add_argument("--guide", type=pathlib.Path, default=GUIDE, help=argparse.SUPPRESS)
    args = parser.parse_args()

    try:
        built = {name: make() for name, make in TABLES.items()}
    except SourceError as error:
        print("integration-tables: cannot build the tables: %s" % error, file=sys.stderr)
        return 2
    guide = args.guide.read_text(encoding="utf-8")
    present = [m.group(2) for m in BLOCK.finditer(guide)]
    same = sorted(set(present)) == sorted(built) and len(present) == len(built)
    if not same:
        print("integration-tables: %s has the tables %s; expected each of %s once"
              % (args.guide, present, sorted(built)), file=sys.stderr)
        return 1

    if args.write:
        updated = BLOCK.sub(lambda m: m.group(1) + built[m.group(2)] + "\n" + m.group(4), guide)
        if updated != guide:
            args.guide.write_text(updated, encoding="utf-8")
        print("integration-tables: %d tables written into %s" % (len(built), args.guide))
        return 0

    for match in BLOCK.finditer(guide):
        name = match.group(2)
        if match.group(3) != built[name] + "\n":
            print("integration-tables: table '%s' in %s differs from the sources; run "
                  "scripts/integration-tables.py --write and review the change" % (name, args.guide),
                  file=sys.stderr)
            return 1
    print("integration-tables: %d tables match the sources" % len(built))
    return 0


if __name__ == "__main__":
    sys.exit(main())
