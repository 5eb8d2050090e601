"""The component's facts as its sources state them: its registry scripts and resource ids, the
type library, and the row files (*.inc) that the C++ includes, read as data.

A row file holds one macro call per line, such as SEPA_CLASS(Bank, IDR_REGISTRY_BANK, None),
beside blank lines and // comments. Every function here takes the component's source folder
(EBanking/TavrinBankOfVelmoraSEPA) and fails with SourceError when a source has a form it
does not know: a fact is never guessed. Python 3, standard library only.
"""
import os
import re


class SourceError(Exception):
    pass


def read(sources, relative):
    path = os.path.join(sources, relative)
    try:
        with open(path, encoding="utf-8") as f:
            return f.read()
    except OSError as e:
        raise SourceError(f"cannot read {relative}: {e.strerror}")


def need(match, what):
    if not match:
        raise SourceError(f"not found: {what}")
    return match


C_ESCAPES = {"n": "\n", "t": "\t", "\\": "\\", '"': '"', "'": "'", "0": "\0"}


def c_literal(body):
    """The text of a C string literal's body (between the quotes)."""
    out, i = [], 0
    while i < len(body):
        if body[i] == "\\":
            if i + 1 >= len(body) or body[i + 1] not in C_ESCAPES:
                raise SourceError(f"unsupported escape in string literal {body!r}")
            out.append(C_ESCAPES[body[i + 1]])
            i += 2
        else:
            out.append(body[i])
            i += 1
    return "".join(out)


# ---------------------------------------------------------------------------------------------
# Row files

# The kinds of field a row may hold: the pattern of its text, and what the text means.
NAME = (r"[A-Za-z_]\w*", lambda text: text)
NUMBER = (r"\d+", int)
HEX = (r"0x[0-9A-Fa-f]+", lambda text: int(text, 16))
TEXT = (r'L?"(?:\\.|[^"\\])*"', lambda text: c_literal(text[text.index('"') + 1 : -1]))
FLAGS = (r"[A-Za-z_]\w*(?: \| [A-Za-z_]\w*)*", lambda text: text.split(" | "))


def rows(sources, relative, macro, *fields):
    """The rows of a row file, each a tuple of its fields' values. Any line that is neither
    blank, a // comment nor exactly macro(field, ...) fails, and so does a file without rows."""
    pattern = re.compile(re.escape(macro) + r"\(" + ", ".join("(%s)" % f[0] for f in fields) + r"\)")
    found = []
    for number, line in enumerate(read(sources, relative).splitlines(), 1):
        if not line.strip() or line.startswith("//"):
            continue
        match = pattern.fullmatch(line)
        if not match:
            raise SourceError(f"{relative}:{number}: not a row of the form {macro}(...): {line}")
        found.append(tuple(kind[1](text) for kind, text in zip(fields, match.groups())))
    if not found:
        raise SourceError(f"{relative}: no {macro} rows")
    return found


def unique(what, names):
    if len(set(names)) != len(names):
        raise SourceError(f"{what}: a name given twice in {names}")
    return names


def categories(sources):
    """{name: "{CATID}"} of component/Categories.inc."""
    found = {}
    for name, *parts in rows(sources, "component/Categories.inc", "SEPA_CATEGORY", NAME, *[HEX] * 11):
        if parts[0] > 0xFFFFFFFF or any(p > 0xFFFF for p in parts[1:3]) or any(p > 0xFF for p in parts[3:]):
            raise SourceError(f"component/Categories.inc: {name} is not a GUID")
        tail = "".join(f"{b:02X}" for b in parts[3:])
        found[name] = f"{{{parts[0]:08X}-{parts[1]:04X}-{parts[2]:04X}-{tail[:4]}-{tail[4:]}}}"
    unique("component/Categories.inc", list(found))
    return found


def classes(sources):
    """The classes the module serves, in registration order, from component/Classes.inc: each
    (name, registry script resource id, category name or None)."""
    known = categories(sources)
    scripts = registry_script_files(sources)
    found = []
    for name, script, category in rows(sources, "component/Classes.inc", "SEPA_CLASS", NAME, NAME, NAME):
        if script not in scripts:
            raise SourceError(f"component/Classes.inc: no registry script {script} for {name}")
        if category != "None" and category not in known:
            raise SourceError(f"component/Classes.inc: {name} names the unknown category {category}")
        found.append((name, script, None if category == "None" else category))
    unique("component/Classes.inc", [name for name, _, _ in found])
    return found


def com_errors(sources):
    """(failure code name, returned code, description) of common/ComErrorDescriptions.inc; the
    first row also describes every failure without a row."""
    return rows(sources, "common/ComErrorDescriptions.inc", "SEPA_COM_ERROR", NAME, HEX, TEXT)


def run_statuses(sources):
    """(name, value) of common/RunStatuses.inc."""
    return rows(sources, "common/RunStatuses.inc", "SEPA_RUN_STATUS", NAME, NUMBER)


def result_codes(sources):
    """(name, value) of validation/ResultCodes.inc."""
    return rows(sources, "validation/ResultCodes.inc", "SEPA_RESULT_CODE", NAME, NUMBER)


def result_message_ranges(sources):
    """(first, last) code of each range of validation/ResultMessageRanges.inc."""
    found = rows(sources, "validation/ResultMessageRanges.inc", "SEPA_RESULT_MESSAGE_RANGE", NUMBER, NUMBER)
    if any(first > last for first, last in found):
        raise SourceError("validation/ResultMessageRanges.inc: a range ends before it starts")
    return found


def file_names(sources):
    """{name: text} of common/FileNames.inc."""
    found = rows(sources, "common/FileNames.inc", "SEPA_FILE_NAME", NAME, TEXT)
    return dict(zip(unique("common/FileNames.inc", [n for n, _ in found]), [t for _, t in found]))


def message_boxes(sources):
    """(name, caption, text template, [flag names]) of common/MessageBoxes.inc."""
    return rows(sources, "common/MessageBoxes.inc", "SEPA_MESSAGE_BOX", NAME, TEXT, TEXT, FLAGS)


def check_messages(sources):
    """(name, text) of dialog/CheckMessages.inc."""
    return rows(sources, "dialog/CheckMessages.inc", "SEPA_CHECK_MESSAGE", NAME, TEXT)


# ---------------------------------------------------------------------------------------------
# Resources

def resource_ids(sources):
    """{name: number} of the #defines of resources/resource.h."""
    return {name: int(number) for name, number in
            re.findall(r"^#define\s+(\w+)\s+(\d+)\s*$", read(sources, "resources/resource.h"), re.M)}


def registry_script_files(sources):
    """{resource id name: script file under resources/} of resources/Registry.rc."""
    files = dict(re.findall(r'^(IDR_REGISTRY_\w+)\s+REGISTRY\s+"([^"]+)"', read(sources, "resources/Registry.rc"), re.M))
    named = {name for name in resource_ids(sources) if name.startswith("IDR_REGISTRY_")}
    if not files or set(files) != named:
        raise SourceError("resources/Registry.rc and resources/resource.h do not name the same registry scripts")
    return files


def string_table(sources):
    """(number, text) of each line of the STRINGTABLE of resources/Strings.rc, in order."""
    body = need(re.search(r"STRINGTABLE\s+BEGIN(.*?)\nEND", read(sources, "resources/Strings.rc"), re.S),
                "the STRINGTABLE of resources/Strings.rc").group(1)
    entries = [(int(n), c_literal(t)) for n, t in re.findall(r'^\s*(\d+),\s*"((?:\\.|[^"\\])*)"\s*$', body, re.M)]
    if len(entries) != len([line for line in body.splitlines() if line.strip()]):
        raise SourceError('resources/Strings.rc: a STRINGTABLE line does not read as NUMBER, "TEXT"')
    return entries


def script_lines(sources, script, module):
    """The lines of a registry script (a file under resources/) as (keyword, key path, value
    name, data), with %MODULE% in the data replaced by module; name and data None when absent."""
    lines = []
    for raw in read(sources, "resources/" + script).splitlines():
        line = raw.strip()
        if not line or line.startswith(";"):
            continue
        keyword, _, rest = line.partition(" ")
        data = None
        if "=" in rest:
            rest, _, data = rest.partition("=")
            data = data.strip().replace("%MODULE%", module)
        rest = rest.strip()
        name = None
        if keyword == "value":
            rest, _, name = rest.rpartition(" ")
            rest = rest.strip()
            if not name or data is None:
                raise SourceError(f"a value line without a name or data: {line}")
        elif keyword not in ("key", "forceremove", "noremove"):
            raise SourceError(f"an unknown registry script line: {line}")
        if not rest or rest.startswith("\\") or rest.endswith("\\"):
            raise SourceError(f"a registry script line without a key: {line}")
        lines.append((keyword, rest, name, data))
    return lines


# ---------------------------------------------------------------------------------------------
# Type libraries

def parse_idl(path):
    """The interfaces of an IDL file, {name: interface dictionary} in file order, and the text
    of its library block as (attributes, name, body), None when it has none."""
    try:
        with open(path, encoding="utf-8") as f:
            text = re.sub(r"//[^\n]*", "", f.read())
    except OSError as e:
        raise SourceError(f"cannot read {path}: {e.strerror}")
    where = os.path.basename(path)
    interfaces = {}
    for m in re.finditer(r"\[([^\]]*)\]\s*interface\s+(\w+)\s*:\s*(\w+)\s*\{(.*?)\}", text, re.S):
        attrs, name, base, body = m.groups()
        members = []
        for method in re.finditer(r"(?:\[([^\]]*)\]\s*)?HRESULT\s+(\w+)\s*\(", body):
            mattrs = method.group(1) or ""
            kind = "get" if "propget" in mattrs else "put" if "propput" in mattrs else "call"
            dispid = re.search(r"\bid\(([^)]*)\)", mattrs)
            members.append((method.group(2), kind, dispid.group(1) if dispid else ""))
        if not members and body.strip():
            raise SourceError(f"{where}: interface {name} has a body but no method could be read")
        interfaces[name] = {
            "iid": need(re.search(r"uuid\(([0-9A-Fa-f-]{36})\)", attrs), f"{where}: uuid of {name}").group(1).upper(),
            "base": base,
            "flags": [f for f in ("dual", "oleautomation", "nonextensible") if re.search(r"\b%s\b" % f, attrs)],
            "help": (re.search(r'helpstring\("([^"]*)"\)', attrs) or [None, ""])[1],
            "members": members,
            "file": where,
        }
    if not interfaces:
        raise SourceError(f"{where}: no interfaces found")
    library = re.search(r"\[([^\]]*)\]\s*library\s+(\w+)\s*\{(.*)\}", text, re.S)
    return interfaces, library and library.groups()


def library_of(where, attrs, name, body):
    """The library block of an IDL file as a dictionary."""
    def attribute(pattern, what):
        return need(re.search(pattern, attrs), f"{where}: the library's {what}").group(1)

    major, minor = attribute(r"version\((\d+\.\d+)\)", "version").split(".")
    return {
        "name": name,
        "libid": "{%s}" % attribute(r"uuid\(([0-9A-Fa-f-]{36})\)", "uuid").upper(),
        "version": f"{int(major)}.{int(minor)}",
        "lcid": int(attribute(r"lcid\((\d+)\)", "lcid")),
        "help": attribute(r'helpstring\("([^"]*)"\)', "helpstring"),
        "imports": re.findall(r'importlib\("([^"]+)"\)', body),
        # {name: {"clsid": "{...}", "default": interface or None}}
        "coclasses": {
            m.group(2): {"clsid": "{%s}" % m.group(1).upper(), "default": m.group(3)}
            for m in re.finditer(r"\[uuid\(([0-9A-Fa-f-]{36})\)[^\]]*\]\s*coclass\s+(\w+)\s*\{\s*"
                                 r"(?:\[default\]\s*interface\s+(\w+);)?", body)
        },
    }


def component_type_library(sources):
    """(interfaces, library) of the component's own IDL."""
    interfaces, library = parse_idl(os.path.join(sources, "resources", "TavrinBankOfVelmoraSEPA.idl"))
    return interfaces, library_of("TavrinBankOfVelmoraSEPA.idl", *need(library, "the library block of TavrinBankOfVelmoraSEPA.idl"))
