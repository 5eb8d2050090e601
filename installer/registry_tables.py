#!/usr/bin/env python3
"""Writes the Windows Installer tables that register the component's COM classes: the same
entries that DllRegisterServer writes, read from the same sources, so that the package and the
library cannot disagree.

  registry_tables.py --sources DIR --arch x86|x64 --file-key KEY --out DIR

DIR is the component's source folder (EBanking/TavrinBankOfVelmoraSEPA). Writes Registry.idt
(the entries to write, and the keys to delete whole on uninstall) and RemoveRegistry.idt (the
keys that registration replaces whole, deleted before they are written) for msibuild.

What is registered, and from where:
  - the classes of the module's class table (component/Classes.inc), each by the registry
    script (resources/registry/*.regscript) that its resource identifier names
    (resources/resource.h, resources/Registry.rc); scripts outside the table are not registered;
  - the component categories (component/Categories.inc) that the class table gives a class,
    as "Implemented Categories";
  - the type library (resources/TavrinBankOfVelmoraSEPA.idl) and its dual interfaces, as the
    system's type library registration writes them.
scripts/component_facts.py reads these sources.
"""
import argparse
import hashlib
import os
import re
import sys

# The component's facts have one reader, in scripts/ beside the guide's table builder, its other user.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
sys.dont_write_bytecode = True  # no compiled copy left in the source tree
import component_facts as facts  # noqa: E402
from component_facts import SourceError  # noqa: E402

COMPONENT = "TavrinBankOfVelmoraSEPA.dll"
# The 32-bit component of the x64 package (installer/TavrinBankOfVelmoraSEPA.wxs).
OPPOSITE_VIEW = "Interfaces32"
HKCR = 0
# The universal marshaler of automation interfaces, which type library registration names for
# every dual interface.
AUTOMATION_PROXY = "{00020424-0000-0000-C000-000000000046}"
GUID = r"[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}"


def registered_classes(sources):
    """(script file, [category GUID]) for each class of the class table, in table order."""
    scripts = facts.registry_script_files(sources)
    catids = facts.categories(sources)
    return [(scripts[script], [catids[category]] if category else [])
            for _, script, category in facts.classes(sources)]


def type_library(sources):
    interfaces, library = facts.component_type_library(sources)
    dual = [("{" + entry["iid"] + "}", name) for name, entry in interfaces.items()
            if {"dual", "oleautomation"} & set(entry["flags"])]
    if not dual:
        raise SourceError("no dual interface in the IDL")
    return library["libid"], library["version"], library["lcid"], library["help"], dual


class Tables:
    def __init__(self):
        self.registry = []
        self.remove = []

    @staticmethod
    def row_id(prefix, key, name, view):
        return prefix + hashlib.sha1(f"{key}\0{name}\0{view or ''}".encode()).hexdigest()[:32]

    def write(self, key, name, value, view=None):
        """name None is the key's default value; '+' with value None creates an empty key, '-'
        deletes the key with everything under it on uninstall. view OPPOSITE_VIEW puts the entry
        in the 32-bit registry of a 64-bit package."""
        self.registry.append((self.row_id("reg", key, name or "", view), key, name, value, view))

    def replace_on_install(self, key):
        self.remove.append((self.row_id("rrg", key, "-", None), key))


def build_tables(sources, arch, file_key):
    module = f"[#{file_key}]"
    tables = Tables()
    for script, categories in registered_classes(sources):
        lines = facts.script_lines(sources, script, module)
        clsid_key = None
        for keyword, path, name, data in lines:
            if keyword == "noremove":
                continue
            if keyword == "value":
                tables.write(path, name, data)
            elif data is not None:
                tables.write(path, None, data)
            else:
                tables.write(path, "+", None)
            if re.fullmatch(r"CLSID\\\{" + GUID + r"\}", path):
                clsid_key = path
        if categories and not clsid_key:
            raise SourceError(f"{script} names no class key for its categories")
        for catid in categories:
            tables.write(f"{clsid_key}\\Implemented Categories\\{catid}", "+", None)
        # Uninstalling removes each key the script made, as unregistration does, and keeps
        # those it marks never to be removed (the CLSID parent); deleting a key takes its
        # subkeys with it, so only the outermost need a row. Keys that the script replaces
        # whole are deleted before they are written, as registration does.
        made = [(keyword, path) for keyword, path, _, _ in lines if keyword in ("key", "forceremove")]
        for keyword, path in made:
            if not any(path.startswith(other + "\\") for _, other in made):
                tables.write(path, "-", None)
                if keyword == "forceremove":
                    tables.replace_on_install(path)

    libid, version, lcid, help_string, interfaces = type_library(sources)
    platform = {"x86": "win32", "x64": "win64"}[arch]
    version_key = f"TypeLib\\{libid}\\{version}"
    tables.write(version_key, None, help_string)
    tables.write(f"{version_key}\\FLAGS", None, "0")
    tables.write(f"{version_key}\\HELPDIR", None, "[INSTALLDIR]")
    tables.write(f"{version_key}\\{lcid:x}\\{platform}", None, module)
    tables.write(f"TypeLib\\{libid}", "-", None)
    # A 64-bit library's interfaces are registered in the 32-bit view too, so that 32-bit
    # clients can marshal them; a 32-bit package cannot write the 64-bit view.
    views = [None] if arch == "x86" else [None, OPPOSITE_VIEW]
    for view in views:
        for iid, name in interfaces:
            key = f"Interface\\{iid}"
            tables.write(key, None, name, view)
            tables.write(f"{key}\\ProxyStubClsid", None, AUTOMATION_PROXY, view)
            tables.write(f"{key}\\ProxyStubClsid32", None, AUTOMATION_PROXY, view)
            tables.write(f"{key}\\TypeLib", None, libid, view)
            tables.write(f"{key}\\TypeLib", "Version", version, view)
            tables.write(key, "-", None, view)
    return tables


def idt_field(value):
    if value is None:
        return ""
    if any(c in value for c in "\t\r\n"):
        raise SourceError(f"a registry value with a tab or line break: {value!r}")
    return value


def write_idt(path, header, rows):
    with open(path, "w", encoding="utf-8", newline="\r\n") as f:
        for line in header:
            f.write(line + "\n")
        for row in rows:
            f.write("\t".join(idt_field(v) if not isinstance(v, int) else str(v) for v in row) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sources", required=True)
    parser.add_argument("--arch", required=True, choices=("x86", "x64"))
    parser.add_argument("--file-key", required=True, help="the File table key of the DLL")
    parser.add_argument("--component", default=COMPONENT, help="the Component table key of the DLL")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    try:
        tables = build_tables(args.sources, args.arch, args.file_key)
    except SourceError as e:
        sys.exit(f"registry_tables.py: {e}")
    ids = [row[0] for row in tables.registry]
    if len(set(ids)) != len(ids):
        sys.exit("registry_tables.py: the same registry entry twice")
    write_idt(
        os.path.join(args.out, "Registry.idt"),
        ["Registry\tRoot\tKey\tName\tValue\tComponent_", "s72\ti2\tl255\tL255\tL0\ts72", "Registry\tRegistry"],
        [(rid, HKCR, key, name, value, view or args.component) for rid, key, name, value, view in tables.registry],
    )
    write_idt(
        os.path.join(args.out, "RemoveRegistry.idt"),
        ["RemoveRegistry\tRoot\tKey\tName\tComponent_", "s72\ti2\tl255\tL255\ts72", "RemoveRegistry\tRemoveRegistry"],
        [(rid, HKCR, key, "-", args.component) for rid, key in tables.remove],
    )


if __name__ == "__main__":
    main()
