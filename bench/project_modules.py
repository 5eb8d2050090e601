"""The project's own PE modules in a profile: the host runner, the component, the host's
settings DLL and the engine floor program. Wine copies their sections into anonymous memory,
so perf shows their samples as "[JIT] tid N" with raw addresses. Those are placed here from
where Wine really loaded each module (its "+loaddll" trace, else the ImageBase) and named with
MinGW's nm; each function is then traced to the object file, and so the source file, of the
build that defines it."""

import re
import subprocess
from pathlib import Path

from perf_samples import PeSymbols

MODULES = ["tavrin-host.exe", "TavrinBankOfVelmoraSEPA.dll", "TavrinHostSettings.dll",
           "sepa_xml_engine_floor.exe"]

HOST_REST = "Host stand-in: the rest (dialog automation, loading the component, settings)"
COMPONENT_REST = "Component: COM objects, settings and common code"
FLOOR_PROGRAM = "The engine floor program's own code"
RUNTIME = "C and C++ runtime"
# Where each source file's code belongs, first match wins.
PARTS = [
    ("Host stand-in: reading the CSV", r"TavrinHost/runner/(BatchCsv|WholeFile)\."),
    ("Host stand-in: payment objects", r"TavrinHost/(objects/HostObject|runner/HostBatch)"),
    ("Host stand-in: report", r"TavrinHost/runner/(RunReport|RunOutcome|WrittenFile|Main)\."),
    (HOST_REST, r"TavrinHost/"),
    (FLOOR_PROGRAM, r"bench/programs/"),
    ("Component: validation", r"TavrinBankOfVelmoraSEPA/validation/"),
    ("Component: credit transfer document and file", r"TavrinBankOfVelmoraSEPA/sepa/"),
    ("Component: dialog", r"TavrinBankOfVelmoraSEPA/dialog/"),
    (COMPONENT_REST, r"TavrinBankOfVelmoraSEPA/"),
]
# A function that several parts' object files define (an inline function of a shared header)
# goes to its module's catch-all part.
MODULE_PARTS = {"tavrin-host.exe": HOST_REST, "TavrinHostSettings.dll": HOST_REST,
                "TavrinBankOfVelmoraSEPA.dll": COMPONENT_REST, "sepa_xml_engine_floor.exe": FLOOR_PROGRAM}
# The sources each module is built from (a folder, or a tuple of folders): the host's and the
# component's modules define some functions of the same name (DllMain, DllGetClassObject).
MODULE_SOURCES = {"tavrin-host.exe": "EBanking/TavrinHost/", "TavrinHostSettings.dll": "EBanking/TavrinHost/",
                  "TavrinBankOfVelmoraSEPA.dll": "EBanking/TavrinBankOfVelmoraSEPA/",
                  "sepa_xml_engine_floor.exe": ("bench/programs/", "EBanking/TavrinBankOfVelmoraSEPA/")}


def loaded_bases(trace_text):
    """Module file name -> load address, from Wine's "+loaddll" trace lines."""
    bases = {}
    for match in re.finditer(r'Loaded L"[^"]*\\\\([^"\\]+)" at ([0-9A-Fa-f]+)', trace_text):
        bases[match.group(1)] = int(match.group(2), 16)
    return bases


def part_of(source):
    return next((label for label, pattern in PARTS if re.search(pattern, source)), None)


def defining_sources(build):
    """Mangled function name -> the sources (relative to the repository) whose objects define it."""
    objects = sorted(Path(build).glob("EBanking/**/*.obj"))
    source_of = {str(obj): re.sub(r"CMakeFiles/[^/]+\.dir/", "", obj.relative_to(build).as_posix())[:-len(".obj")]
                 for obj in objects}
    listing = subprocess.run(["x86_64-w64-mingw32-nm", "--defined-only", "-P", "-A"] + list(source_of),
                             capture_output=True, text=True).stdout if objects else ""
    sources = {}
    for line in listing.splitlines():
        # "OBJECT: NAME TYPE VALUE [SIZE]"
        path, _, rest = line.partition(": ")
        fields = rest.split()
        if path in source_of and len(fields) >= 2 and fields[1] in "tTwW" and not fields[0].startswith("."):
            sources.setdefault(fields[0], []).append(source_of[path])
    return sources


class ProjectModules:
    """The modules of one profiled program (names from MODULES), placed where the trace says Wine
    loaded them; bases maps a module to its load address."""

    def __init__(self, build, names, bases):
        self.build = Path(build)
        self.modules = []
        # Module -> (ImageBase, where Wine loaded it or None when the trace does not say).
        self.placement = {}
        for name in names:
            path = self.build / "bin" / name
            if not path.exists():
                continue
            debug = path.with_name(name + ".debug")
            table = PeSymbols(path, debug if debug.exists() else None)
            self.modules.append((name, bases.get(name, table.image_base), table))
            self.placement[name] = (table.image_base, bases.get(name))
        self.sources = defining_sources(self.build)

    def resolve(self, dso, address):
        """(module, mangled function) for a sample in one of the modules, else None. perf gives
        an offset when it saw a module as a file, an absolute address when it did not."""
        for name, base, table in self.modules:
            if dso == name:
                return name, table.name(address)
            if dso.startswith("[JIT]") and base <= address < base + table.image_size:
                return name, table.name(address - base)
        return None

    def part(self, module, function):
        parts = {part_of(source) for source in self.sources.get(function, [])
                 if source.startswith(MODULE_SOURCES[module])}
        parts.discard(None)
        if not parts:
            return RUNTIME
        return parts.pop() if len(parts) == 1 else MODULE_PARTS[module]
