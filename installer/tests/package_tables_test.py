#!/usr/bin/env python3
"""Builds both installer packages and reads their tables back with msiinfo: the x86 package,
which cannot be installed here, must carry the i686 DLL as built, install into the 32-bit
Program Files with 32-bit components, and register exactly what the x64 package registers
(which the install test proves against the library's own registration), apart from the type
library's platform.

  package_tables_test.py SOURCE_DIR I686_DLL X86_64_DLL WORK_DIR
"""
import filecmp
import os
import shutil
import subprocess
import sys

source_dir, i686_dll, x64_dll, work = sys.argv[1:5]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def table(msi, name):
    """The rows of a table as dictionaries keyed by column name."""
    lines = run("msiinfo", "export", msi, name).replace("\r", "").split("\n")
    columns = lines[0].split("\t")
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:] if line]


def summary(msi):
    return dict(line.split(": ", 1) for line in run("msiinfo", "suminfo", msi).splitlines() if ": " in line)


shutil.rmtree(work, ignore_errors=True)
packages = {}
for arch, dll in (("x86", i686_dll), ("x64", x64_dll)):
    out = os.path.join(work, arch)
    packages[arch] = run(os.path.join(source_dir, "installer/make-msi.sh"), arch, dll, out).strip()
    version = run("python3", os.path.join(source_dir, "installer/dll_version.py"), dll).strip()
    msi = packages[arch]
    check(os.path.basename(msi) == f"TavrinBankOfVelmoraSEPA-{version}-{arch}.msi", f"{arch}: package named {msi}")

    properties = {row["Property"]: row["Value"] for row in table(msi, "Property")}
    check(properties.get("ProductVersion") == version, f"{arch}: ProductVersion {properties.get('ProductVersion')}, DLL {version}")
    # Changing an upgrade code would leave the older version installed beside the newer one.
    upgrade_code = {"x86": "{0B4FED56-7F86-44EF-889C-2AE1E6F36B82}", "x64": "{15B1310E-5DC0-4DCA-BB2F-532B3EBBDB04}"}[arch]
    check(properties.get("UpgradeCode") == upgrade_code, f"{arch}: UpgradeCode {properties.get('UpgradeCode')}")
    check(properties.get("ALLUSERS") == "1", f"{arch}: not a per-machine package")
    check(properties.get("Manufacturer") == "Tavrin", f"{arch}: Manufacturer {properties.get('Manufacturer')}")
    upgrades = table(msi, "Upgrade")
    check(
        any(r["UpgradeCode"] == upgrade_code and r["VersionMax"] == version and r["Attributes"] == "1" for r in upgrades),
        f"{arch}: no Upgrade row that removes older versions: {upgrades}",
    )
    template = {"x86": "Intel;1033", "x64": "x64;1033"}[arch]
    check(summary(msi).get("Template") == template, f"{arch}: platform {summary(msi).get('Template')}")

    files = table(msi, "File")
    check(len(files) == 1, f"{arch}: {len(files)} files")
    if files:
        row = files[0]
        check(row["FileName"] == "TavrinBankOfVelmoraSEPA.dll", f"{arch}: file {row['FileName']}")
        check(row["Version"] == version, f"{arch}: file version {row['Version']}")
        check(row["FileSize"] == str(os.path.getsize(dll)), f"{arch}: file size {row['FileSize']}")
    extracted = os.path.join(work, arch, "extracted")
    run("msiextract", "-C", extracted, msi)
    copies = [os.path.join(d, f) for d, _, names in os.walk(extracted) for f in names]
    # msiextract names the program files folder of a 32-bit package only.
    check(
        len(copies) == 1 and copies[0].endswith(os.path.join("Tavrin", "TavrinBankOfVelmoraSEPA", "TavrinBankOfVelmoraSEPA.dll")),
        f"{arch}: package holds {copies}",
    )
    check(bool(copies) and filecmp.cmp(copies[0], dll, shallow=False), f"{arch}: the packaged DLL is not the one built")

    directories = {row["Directory"]: row for row in table(msi, "Directory")}
    folder = {"x86": "ProgramFilesFolder", "x64": "ProgramFiles64Folder"}[arch]
    check(directories.get("ManufacturerFolder", {}).get("Directory_Parent") == folder, f"{arch}: not under {folder}")
    components = [c for c in table(msi, "Component") if c["Component"] == "TavrinBankOfVelmoraSEPA.dll"]
    check(len(components) == 1, f"{arch}: {len(components)} components of the DLL")
    is_64 = bool(components) and int(components[0]["Attributes"]) & 256 != 0
    check(is_64 == (arch == "x64"), f"{arch}: component attributes {components[0]['Attributes'] if components else None}")

    # The registration is in the package's tables: nothing registers itself at install time.
    actions = {row["Action"] for row in table(msi, "InstallExecuteSequence")}
    check(not actions & {"SelfRegModules", "SelfUnregModules"}, f"{arch}: self-registration actions {actions}")
    check(not table(msi, "CustomAction"), f"{arch}: custom actions")
    check({"WriteRegistryValues", "RemoveRegistryValues"} <= actions, f"{arch}: no registry actions in {actions}")


def registrations(arch, component="TavrinBankOfVelmoraSEPA.dll"):
    rows = table(packages[arch], "Registry") + [dict(r, Value="(remove)") for r in table(packages[arch], "RemoveRegistry")]
    return sorted((r["Root"], r["Key"], r["Name"], r["Value"]) for r in rows if r["Component_"] == component)


x86_rows = registrations("x86")
x64_rows = [(root, key.replace("\\win64", "\\win32"), name, value) for root, key, name, value in registrations("x64")]
# The x64 package repeats the interfaces' entries in the 32-bit registry, in a 32-bit component.
interface_rows = [row for row in registrations("x64") if row[1].startswith("Interface\\")]
check(len(interface_rows) == 18, f"x64: {len(interface_rows)} interface entries")
check(registrations("x64", "Interfaces32") == interface_rows, "x64: the 32-bit view lacks the interfaces' entries")
check(not registrations("x86", "Interfaces32"), "x86: entries for a 64-bit registry it cannot write")
interfaces32 = [c for c in table(packages["x64"], "Component") if c["Component"] == "Interfaces32"]
check(len(interfaces32) == 1 and int(interfaces32[0]["Attributes"]) & 256 == 0, f"x64: 32-bit component {interfaces32}")
check(x86_rows == x64_rows, "the two packages register different entries:\n" + "\n".join(map(str, set(x86_rows) ^ set(x64_rows))))
check(any(key.endswith("\\409\\win32") for _, key, _, _ in x86_rows), "x86: the type library is not registered for win32")
check(
    sum(1 for _, key, _, value in x86_rows if key.endswith("\\InprocServer32") and value == "[#TavrinBankOfVelmoraSEPA.dll]") == 3,
    "x86: not three in-process servers at the installed DLL",
)

if failures:
    print("FAIL:\n  " + "\n  ".join(failures))
    sys.exit(1)
print("ok: both packages carry their DLL, folders, versions and the same registration")
