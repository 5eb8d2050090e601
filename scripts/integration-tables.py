#!/usr/bin/env python3
"""The code and message tables of docs/integration.md, built from the component's sources.

    scripts/integration-tables.py [--check]   fails, naming the first table that differs
    scripts/integration-tables.py --write     rewrites the tables in the guide

Each table stands in the guide between "<!-- table: NAME -->" and "<!-- end table -->".
Every table is parsed from the sources it describes (registry scripts, class table, IDL,
headers, string table, stylesheet, ...). A source whose form has changed so that a table can
no longer be read fails loudly: a table is never written empty or from a guess.
Python 3, standard library only.
"""
import argparse
import pathlib
import re
import sys
import xml.etree.ElementTree as ET

ROOT = pathlib.Path(__file__).resolve().parent.parent
GUIDE = ROOT / "docs" / "integration.md"
COMPONENT = "EBanking/TavrinBankOfVelmoraSEPA"
HOST_IDL = "EBanking/TavrinHost/idl"


class SourceFormError(Exception):
    pass


def fail(message):
    raise SourceFormError(message)


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


def need_all(pattern, text, what, flags=re.S):
    found = list(re.finditer(pattern, text, flags))
    if not found:
        fail("%s: none found" % what)
    return found


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


C_ESCAPES = {"n": "\n", "t": "\t", "\\": "\\", '"': '"', "'": "'", "0": "\0"}


def c_literal(body):
    """The text of a C string literal's body (between the quotes)."""
    out, i = [], 0
    while i < len(body):
        if body[i] == "\\":
            if i + 1 >= len(body) or body[i + 1] not in C_ESCAPES:
                fail("unsupported escape in string literal %r" % body)
            out.append(C_ESCAPES[body[i + 1]])
            i += 2
        else:
            out.append(body[i])
            i += 1
    return "".join(out)


LITERAL = r'L?"((?:\\.|[^"\\])*)"'


def shown(text):
    """A message text as one line: line feeds written as \\n."""
    return text.replace("\n", "\\n")


# ---------------------------------------------------------------------------------------------
# IDL

def parse_idl(relative):
    text = re.sub(r"//[^\n]*", "", read(relative))
    interfaces = {}
    for m in need_all(r"\[([^\]]*)\]\s*interface\s+(\w+)\s*:\s*(\w+)\s*\{(.*?)\}", text, relative + " interfaces"):
        attrs, name, base, body = m.groups()
        members = []
        for method in re.finditer(r"(?:\[([^\]]*)\]\s*)?HRESULT\s+(\w+)\s*\(", body):
            mattrs = method.group(1) or ""
            kind = "get" if "propget" in mattrs else "put" if "propput" in mattrs else "call"
            dispid = re.search(r"\bid\(([^)]*)\)", mattrs)
            members.append((method.group(2), kind, dispid.group(1) if dispid else ""))
        if not members and body.strip():
            fail("%s: interface %s has a body but no method could be read" % (relative, name))
        interfaces[name] = {
            "iid": need(r"uuid\(([0-9A-Fa-f-]{36})\)", attrs, "%s: uuid of %s" % (relative, name)).group(1).upper(),
            "base": base,
            "flags": [f for f in ("dual", "oleautomation", "nonextensible") if re.search(r"\b%s\b" % f, attrs)],
            "help": (re.search(r'helpstring\("([^"]*)"\)', attrs) or [None, ""])[1],
            "members": members,
            "file": pathlib.Path(relative).name,
        }
    library = need(r"\[([^\]]*)\]\s*library\s+(\w+)\s*\{(.*)\}", text, relative + " library")
    return interfaces, library


def all_interfaces():
    found = {}
    for name in ("TavrinEBanking.idl", "TavrinBankPayments.idl"):
        found.update(parse_idl("%s/%s" % (HOST_IDL, name))[0])
    own, library = parse_idl(COMPONENT + "/resources/TavrinBankOfVelmoraSEPA.idl")
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

def registry_scripts():
    resource_ids = dict(re.findall(r"#define\s+(IDR_REGISTRY_\w+)\s+(\d+)", read(COMPONENT + "/resources/resource.h")))
    files = dict(re.findall(r'(IDR_REGISTRY_\w+)\s+REGISTRY\s+"([^"]+)"', read(COMPONENT + "/resources/Registry.rc")))
    if not files or set(files) != set(resource_ids):
        fail("Registry.rc and resource.h do not name the same registry scripts")
    return resource_ids, files


def parse_regscript(relative):
    text = read(relative)
    progids = re.findall(r"^key (\S+)\\CLSID = (\{[0-9A-F-]{36}\})$", text, re.M)
    if len(progids) != 2:
        fail("%s: expected two ProgID keys with a CLSID" % relative)
    versioned = [p for p, _ in progids if re.search(r"\.\d+$", p)]
    independent = [p for p, _ in progids if not re.search(r"\.\d+$", p)]
    clsid = progids[0][1]
    if len(versioned) != 1 or len(independent) != 1 or progids[1][1] != clsid:
        fail("%s: ProgIDs do not read as one versioned and one version-independent" % relative)
    described = need(r"^forceremove CLSID\\%s = (.+)$" % re.escape(clsid), text, relative + " class key", re.M)
    threading = need(r"^value CLSID\\%s\\InprocServer32 ThreadingModel = (\w+)$" % re.escape(clsid), text,
                     relative + " ThreadingModel", re.M)
    typelib = need(r"^key CLSID\\%s\\TypeLib = (\{[0-9A-F-]{36}\})$" % re.escape(clsid), text,
                   relative + " TypeLib", re.M)
    curver = need(r"^key %s\\CurVer = (\S+)$" % re.escape(independent[0]), text, relative + " CurVer", re.M)
    if curver.group(1) != versioned[0]:
        fail("%s: CurVer does not name the versioned ProgID" % relative)
    return {"clsid": clsid, "progid": versioned[0], "independent": independent[0],
            "description": described.group(1), "threading": threading.group(1), "typelib": typelib.group(1)}


def registered_scripts():
    text = read(COMPONENT + "/component/ClassTable.cpp")
    body = need(r"const ClassEntry kClasses\[\] = \{(.*?)\};", text, "ClassTable.cpp kClasses").group(1)
    entries = need_all(r"\{&CLSID_(\w+), &Create<\w+>, (IDR_REGISTRY_\w+), (\w+), (\d+)\}", body,
                       "ClassTable.cpp class entries")
    return [(m.group(1), m.group(2), m.group(3), int(m.group(4))) for m in entries]


def table_classes():
    resource_ids, files = registry_scripts()
    registered = {script for _, script, _, _ in registered_scripts()}
    _, own, library = all_interfaces()
    libid = need(r"uuid\(([0-9A-F-]{36})\)", library.group(1), "library uuid").group(1)
    coclasses = dict((n, u) for u, n in re.findall(r"\[uuid\(([0-9A-F-]{36})\)[^\]]*\]\s*coclass\s+(\w+)",
                                                     library.group(3)))
    rows = []
    for script_id in sorted(files, key=lambda s: int(resource_ids[s])):
        entry = parse_regscript("%s/resources/%s" % (COMPONENT, files[script_id]))
        name = entry["independent"].split(".", 1)[1]
        if entry["typelib"] != "{%s}" % libid:
            fail("%s: TypeLib %s is not the library's %s" % (files[script_id], entry["typelib"], libid))
        if script_id in registered:
            if "{%s}" % coclasses.get(name, "") != entry["clsid"]:
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
    attrs, name, body = library.groups()
    resource = need(r"#define\s+IDR_TYPELIB\s+(\d+)", read(COMPONENT + "/resources/resource.h"), "IDR_TYPELIB")
    need(r"IDR_TYPELIB\s+TYPELIB\s+\"", read(COMPONENT + "/resources/TavrinBankOfVelmoraSEPA.rc"),
         "the TYPELIB resource")
    lcid = need(r"lcid\((\d+)\)", attrs, "library lcid").group(1)
    rows = [
        ("Name", code(name)),
        ("LIBID", code("{%s}" % need(r"uuid\(([0-9A-F-]{36})\)", attrs, "library uuid").group(1))),
        ("Version", need(r"version\(([\d.]+)\)", attrs, "library version").group(1)),
        ("Locale", lcid + (" (English, United States)" if lcid == "1033" else "")),
        ("Help string", need(r'helpstring\("([^"]*)"\)', attrs, "library helpstring").group(1)),
        ("Imports", ", ".join(code(m.group(1)) for m in need_all(r'importlib\("([^"]+)"\)', body, "importlib"))),
        ("Stored as", "resource %s of type TYPELIB in the DLL" % resource.group(1)),
    ]
    return table(("Property", "Value"), rows)


def table_interfaces():
    interfaces, own, library = all_interfaces()
    defaults = dict((i, c) for c, i in re.findall(r"coclass\s+(\w+)\s*\{\s*\[default\]\s*interface\s+(\w+);",
                                                  library.group(3)))
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
    text = read(COMPONENT + "/component/ClassTable.cpp")
    m = need(r"const CATID (\w+) = \{0x([0-9A-Fa-f]{8}), 0x([0-9A-Fa-f]{4}), 0x([0-9A-Fa-f]{4}), "
             r"\{((?:0x[0-9A-Fa-f]{2}, ){7}0x[0-9A-Fa-f]{2})\}\};", text, "ClassTable.cpp CATID")
    tail = [b[2:] for b in m.group(5).split(", ")]
    catid = "{%s-%s-%s-%s-%s}" % (m.group(2), m.group(3), m.group(4), "".join(tail[:2]), "".join(tail[2:]))
    catid = catid.upper()
    arrays = dict(re.findall(r"const CATID (\w+)\[\] = \{([^}]*)\};", text))
    rows = []
    for name, _, array, count in registered_scripts():
        if array == "nullptr":
            continue
        if arrays.get(array, "").strip() != m.group(1) or count != 1:
            fail("ClassTable.cpp: category list %s is not the one category %s" % (array, m.group(1)))
        clsid = need(r"\[uuid\(([0-9A-F-]{36})\)[^\]]*\]\s*coclass\s+%s\b" % name,
                     read(COMPONENT + "/resources/TavrinBankOfVelmoraSEPA.idl"), "coclass " + name).group(1)
        rows.append((code(name), code(catid), code("HKEY_CLASSES_ROOT\\CLSID\\{%s}\\Implemented Categories\\%s"
                                                    % (clsid, catid))))
    return table(("Class", "Category (CATID)", "Key written at registration"), rows)


CLASS_FILES = {"Bank": "Bank.h", "BankServices": "BankServices.h", "BankPaymentService": "BankPaymentService.h"}
SYSTEM_INTERFACES = {"IDispatch": "{00020400-0000-0000-C000-000000000046}",
                     "ISupportErrorInfo": "{DF0B3D60-548F-101B-8E65-08002B2BF9E0}"}


def table_implemented():
    interfaces, _, _ = all_interfaces()
    same_set("classes of the class table", [n for n, _, _, _ in registered_scripts()], CLASS_FILES)
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
        if path.suffix in (".cpp", ".h") and "tests" not in parts and "benchmarks" not in parts:
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
    text = read(COMPONENT + "/common/RunStatus.h")
    found = need_all(r"\b(kRun\w+)\s*=\s*(\d+)\s*,", text, "RunStatus.h values")
    same_set("run statuses", [m.group(1) for m in found], RUN_STATUS_MEANING)
    rows = [(m.group(2), code(m.group(1)), RUN_STATUS_MEANING[m.group(1)]) for m in found]
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


def result_code_ranges():
    text = read(COMPONENT + "/validation/ResultCodes.h")
    body = need(r"constexpr bool HasResultMessageId\(long code\)\s*\{\s*return (.*?);\s*\}", text,
                "ResultCodes.h HasResultMessageId").group(1)
    ranges = [(int(a), int(b)) for a, b in re.findall(r"\(code >= (\d+) && code <= (\d+)\)", body)]
    if not ranges or body.count("code >=") != len(ranges):
        fail("ResultCodes.h: HasResultMessageId does not read as ranges")
    return ranges


def table_result_codes():
    base = int(need(r"#define\s+IDS_RESULT_MESSAGES\s+(\d+)", read(COMPONENT + "/resources/resource.h"),
                    "IDS_RESULT_MESSAGES").group(1))
    strings = read(COMPONENT + "/resources/Strings.rc")
    table_body = need(r"STRINGTABLE\s+BEGIN(.*?)\nEND", strings, "Strings.rc STRINGTABLE").group(1)
    entries = [(int(n), c_literal(t)) for n, t in re.findall(r"^\s*(\d+),\s*" + LITERAL + r"\s*$", table_body, re.M)]
    if len(entries) != len([l for l in table_body.splitlines() if l.strip()]):
        fail("Strings.rc: a STRINGTABLE line does not read as NUMBER, \"TEXT\"")
    enum = need(r"enum PaymentResultCode : long \{(.*?)\};", read(COMPONENT + "/validation/ResultCodes.h"),
                "ResultCodes.h enum").group(1)
    constants = [(n, int(v)) for n, v in re.findall(r"\b(k\w+)\s*=\s*(\d+)\s*,", enum)]
    same_set("result code constants", [n for n, _ in constants], RESULT_CODE_WHEN)
    validation = "\n".join(p.read_text(encoding="utf-8") for p in sorted((ROOT / COMPONENT / "validation").glob("*.cpp")))
    by_code = {}
    for name, value in constants:
        if re.search(r"\b%s\b" % name, validation):
            by_code[value] = name
    ranges = result_code_ranges()
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
    text = read(COMPONENT + "/common/ComError.cpp")
    body = need(r"const ErrorDescription kDescriptions\[\] = \{(.*?)\};", text, "ComError.cpp kDescriptions").group(1)
    rows_found = re.findall(r"\{(E_\w+), " + LITERAL + r"\}", body)
    need(r"0x800A0000UL \| \(\(0xFFFEUL - row\) & 0xFFFFUL\)", text, "ComError.cpp returned code formula")
    rows = [(code(thrown), code("0x800A%04X" % (0xFFFE - index)), code(c_literal(description)))
            for index, (thrown, description) in enumerate(rows_found)]
    if len(rows) != body.count("{E_"):
        fail("ComError.cpp: a description row does not read as {E_..., L\"...\"}")
    rows.append(("any other failure code", code("0x800AFFFE"), code(c_literal(rows_found[0][1]))))
    return table(("Failure inside the method", "HRESULT returned", "Error description (IErrorInfo)"), rows)


# ---------------------------------------------------------------------------------------------
# Files and folders

def table_files():
    data = read(COMPONENT + "/settings/DataFolder.cpp")
    need(r"CSIDL_COMMON_APPDATA", data, "DataFolder.cpp common application data")
    sub = c_literal(need(r"PathAppendA\(m_path, " + LITERAL + r"\)", data, "DataFolder.cpp sub-folder").group(1))
    mapping = c_literal(need(r"const char kMappingOverrideFileName\[\] = " + LITERAL + ";",
                             read(COMPONENT + "/validation/CharacterMap.cpp"), "mapping file name").group(1))
    if not mapping.startswith("\\"):
        fail("CharacterMap.cpp: the mapping file name no longer starts with its separator")
    name = need(r'snprintf\(buffer, bufferSize, "(\w*%s\w*)", stamp\)', read(COMPONENT + "/sepa/OutputFileName.cpp"),
                "OutputFileName.cpp name pattern").group(1)
    stamp = need(r'"(%04d%02d%02d%02d%02d%02d)"', read(COMPONENT + "/sepa/OutputFileName.cpp"),
                 "OutputFileName.cpp time stamp").group(1)
    if stamp != "%04d%02d%02d%02d%02d%02d":
        fail("OutputFileName.cpp: time stamp format changed")
    extension = c_literal(need(r"const char kFileExtension\[\] = " + LITERAL + ";",
                               read(COMPONENT + "/component/BankPaymentService.cpp"), "file extension").group(1))
    store = c_literal(need(r"localAppDataFolder \+ " + LITERAL, read(COMPONENT + "/sepa/RedirectNotice.cpp"),
                           "virtual store folder").group(1))
    rows = [
        ("The host's data folder", code("<common application data>\\" + sub),
         "usually " + code("C:\\ProgramData\\" + sub) + "; neither created nor checked by the component"),
        ("Character mapping override file", code(mapping[1:]), "in the data folder; optional"),
        ("Payment file name", code(name.replace("%s", "yyyyMMddHHmmss") + "." + extension),
         "date and time of the run in UTC, e.g. " + code(name.replace("%s", "20140306160321") + "." + extension)),
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


def check_document_sources():
    text = read(DOCUMENT)
    template = need(r"const BSTR names\[kCreditorValues\] = \{(.*?)\};", text, "CreditTransferDocument.cpp creditor template").group(1)
    order = re.findall(r"m_names\.(\w+)\.GetBSTR\(\)", template)
    if order != ["name", "iban", "payment", "bic", "reference", "endToEndId"]:
        fail("CreditTransferDocument.cpp: the creditor's elements changed order: %s" % order)
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

# Texts passed in by a caller: the function whose return expression makes them.
FORMATTED_TEXTS = {"Invalid default path": ("sepa/OutputPath.cpp", "FormatInvalidDirectoryMessage"),
                   "Windows Redirect": ("sepa/RedirectNotice.cpp", "FormatRedirectMessage")}


def split_arguments(text, start):
    """The top-level arguments of the call whose "(" is at start, and the index after ")"."""
    depth, args, current, i = 0, [], [], start
    while i < len(text):
        c = text[i]
        if c == '"':
            end = re.compile(r'"(?:\\.|[^"\\])*"').match(text, i)
            if not end:
                fail("unterminated string literal")
            current.append(end.group(0))
            i = end.end()
            continue
        if c == "(":
            depth += 1
            if depth == 1:
                i += 1
                continue
        elif c == ")":
            depth -= 1
            if depth == 0:
                args.append("".join(current).strip())
                return args, i + 1
        elif c == "," and depth == 1:
            args.append("".join(current).strip())
            current = []
            i += 1
            continue
        current.append(c)
        i += 1
    fail("unterminated call")


STRING_EXPRESSION = r'(?:\s*(?:"(?:\\.|[^"\\])*"|[A-Za-z_]\w*(?:\.c_str\(\))?|\+)\s*)+'


def evaluate(expression, text, before):
    """The text of a string expression: literals, file constants, + and += on locals before `before`.
    Anything else that names a value stands as <name>."""
    expression = expression.strip()
    if expression.endswith(".c_str()"):
        expression = expression[: -len(".c_str()")]
    out = []
    for token in re.finditer(r'\s*(?:(?P<lit>"(?:\\.|[^"\\])*")|(?P<name>[A-Za-z_]\w*)(?:\.c_str\(\))?|(?P<plus>\+))\s*', expression):
        if token.group("lit"):
            out.append(c_literal(token.group("lit")[1:-1]))
        elif token.group("name"):
            out.append(resolve(token.group("name"), text, before))
    if not re.fullmatch(STRING_EXPRESSION, expression):
        fail("cannot read the string expression %r" % expression)
    return "".join(out)


def resolve(name, text, before):
    constant = re.search(r"(?:const|constexpr) char %s\[\] =\s*((?:%s\s*)+);" % (name, LITERAL), text)
    if constant:
        return evaluate(constant.group(1), text, len(text))
    # Locals are looked for in the enclosing function only, whose body opens with "{" alone on
    # a line (the one C++ layout of the sources).
    scope = text.rfind("\n{", 0, before)
    if scope < 0:
        fail("no enclosing function found for %s" % name)
    declarations = list(re.finditer(r"std::string %s\s*=\s*(.*?);" % name, text[scope:before], re.S))
    if declarations:
        last = declarations[-1]
        start = scope + last.start()
        if not re.fullmatch(STRING_EXPRESSION, last.group(1)):
            return "<%s>" % name  # a value only the run knows, such as a path
        value = evaluate(last.group(1), text, start)
        for added in re.finditer(r"\b%s\s*\+=\s*(.*?);" % name, text[scope + last.end():before], re.S):
            value += evaluate(added.group(1), text, start)
        return value
    return "<%s>" % name


def function_return(relative, function):
    text = read("%s/%s" % (COMPONENT, relative))
    body = need(r"std::string %s\([^)]*\)\s*\{\s*return (.*?);\s*\}" % function, text, "%s %s" % (relative, function))
    return evaluate(body.group(1), text, body.start())


def message_boxes():
    boxes = []
    for path in sorted((ROOT / COMPONENT).rglob("*.cpp")):
        parts = path.relative_to(ROOT / COMPONENT).parts
        if "tests" in parts or "benchmarks" in parts:
            continue
        text = path.read_text(encoding="utf-8")
        for call in re.finditer(r"\bMessageBox[AW]\(", text):
            args, _ = split_arguments(text, call.end() - 1)
            if len(args) != 4:
                fail("%s: MessageBox call without four arguments" % path.name)
            caption_literal = re.fullmatch(LITERAL, args[2])
            if not caption_literal:
                fail("%s: MessageBox caption is not a literal" % path.name)
            # A Unicode box shows UTF-8 text widened for it.
            widened = re.fullmatch(r"WidenText\((\w+), CP_UTF8\)\.c_str\(\)", args[1])
            if widened:
                args[1] = widened.group(1) + ".c_str()"
            caption = c_literal(caption_literal.group(1))
            if caption in FORMATTED_TEXTS:
                message = function_return(*FORMATTED_TEXTS[caption])
            else:
                message = evaluate(args[1], text, call.start())
            flags = [f.strip() for f in args[3].split("|")]
            if any(f not in MESSAGE_BOX_FLAGS for f in flags):
                fail("%s: unknown message box flags %s" % (path.name, args[3]))
            buttons = [MESSAGE_BOX_FLAGS[f] for f in flags if not f.startswith("MB_ICON")]
            icons = [MESSAGE_BOX_FLAGS[f] for f in flags if f.startswith("MB_ICON")]
            boxes.append((caption, message, ", ".join(buttons + icons)))
    if not boxes:
        fail("no message box found in the component")
    same_set("message box captions", [b[0] for b in boxes], MESSAGE_BOX_WHEN)
    order = list(MESSAGE_BOX_WHEN)
    return sorted(boxes, key=lambda b: order.index(b[0]))


def table_message_boxes():
    rows = [(code(caption), code(shown(message)), buttons, MESSAGE_BOX_WHEN[caption])
            for caption, message, buttons in message_boxes()]
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
    text = read(COMPONENT + "/dialog/CSepaInfoPresenter.cpp")
    found = need_all(r"const char (k\w+)\[\] =\s*((?:%s\s*)+);" % LITERAL, text, "CSepaInfoPresenter.cpp messages")
    same_set("dialog check messages", [m.group(1) for m in found], DIALOG_CHECKS)
    rows = [(DIALOG_CHECKS[m.group(1)], code(shown(evaluate(m.group(2), text, len(text))))) for m in found]
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
    except SourceFormError as error:
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
