"""perf's cpu-clock samples of a command and everything it starts, with the functions of
Windows modules named. Wine's built-in DLLs are PE files whose symbols perf cannot read: perf
gives an address relative to the DLL's image, resolved here with MinGW's nm."""

import bisect
import functools
import glob
import re
import subprocess
from collections import namedtuple
from pathlib import Path

RATE_HZ = 1000
WINE_DLL_FOLDERS = glob.glob("/usr/lib/*/wine/x86_64-windows") + glob.glob("/usr/lib/wine/x86_64-windows")

# One line of perf's report: the CPU seconds of one function in one thread of a process.
Sample = namedtuple("Sample", "seconds pid tid comm dso sym")


def perf_usable():
    try:
        return subprocess.run(["perf", "stat", "-e", "cpu-clock", "true"], capture_output=True).returncode == 0
    except OSError:
        return False


def record(command, data_file, env=None, stderr=None):
    """Samples command and its child processes, stamped with the monotonic clock that Python's
    time.monotonic() reads. No build-id pass: it costs a second or more after the command ends
    and the report finds the files by their paths anyway."""
    subprocess.run(["perf", "record", "-q", "--no-buildid", "-k", "mono", "-e", "cpu-clock", "-F", str(RATE_HZ),
                    "-o", str(data_file), "--"] + command, env=env, stdout=subprocess.DEVNULL,
                   stderr=stderr if stderr is not None else subprocess.DEVNULL, stdin=subprocess.DEVNULL, check=True)


class PeSymbols:
    """The text symbols of one PE file by their offset in its image."""

    def __init__(self, path, symbols_path=None):
        header = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(path)], capture_output=True,
                                text=True).stdout
        self.image_base = int(re.search(r"ImageBase\s+([0-9a-fA-F]+)", header).group(1), 16)
        self.image_size = int(re.search(r"SizeOfImage\s+([0-9a-fA-F]+)", header).group(1), 16)
        entries = []
        listing = subprocess.run(["x86_64-w64-mingw32-nm", str(symbols_path or path)], capture_output=True,
                                 text=True).stdout
        for line in listing.splitlines():
            parts = line.split()
            # Section and local labels (".text", ".l_end") name no function.
            if len(parts) == 3 and parts[1] in "tT" and not parts[2].startswith("."):
                entries.append((int(parts[0], 16) - self.image_base, parts[2]))
        entries.sort()
        self.offsets = [e[0] for e in entries]
        self.names = [e[1] for e in entries]

    def name(self, offset):
        at = bisect.bisect_right(self.offsets, offset) - 1
        return self.names[at] if at >= 0 else hex(offset)


class WineDlls:
    def __init__(self):
        self.tables = {}

    def name(self, dll, offset):
        if dll not in self.tables:
            path = next((Path(folder) / dll for folder in WINE_DLL_FOLDERS if (Path(folder) / dll).exists()), None)
            self.tables[dll] = PeSymbols(path) if path else None
        table = self.tables[dll]
        return table.name(offset) if table else hex(offset)


@functools.lru_cache(maxsize=None)
def processes(data_file):
    """Thread id -> process id: perf's report sorts by thread, and a program's threads (Wine's,
    Node.js's helpers) belong to it."""
    text = subprocess.run(["perf", "script", "-i", str(data_file), "-F", "pid,tid"], capture_output=True,
                          text=True).stdout
    owner = {}
    for line in text.splitlines():
        pid, _, tid = line.strip().partition("/")
        if pid.isdigit() and tid.isdigit():
            owner[int(tid)] = int(pid)
    return owner


def read(data_file, resolve=None, between=None):
    """The samples of a recording, one per process and function; between=(start, end) keeps
    those of that stretch of the monotonic clock. resolve(dso, address) may name an address that
    perf left raw (a module perf does not see as a file) and returns (dso, symbol), or None to
    keep it raw."""
    command = ["perf", "report", "-i", str(data_file), "--no-children", "-g", "none", "-F", "period,pid,dso,sym",
               "--stdio", "-t", "|"]
    if between:
        command += ["--time", "%.6f,%.6f" % between]
    text = subprocess.run(command, capture_output=True, text=True).stdout
    owner = processes(str(data_file))
    dlls = WineDlls()
    samples = []
    for line in text.splitlines():
        fields = [field.strip() for field in line.split("|")]
        if len(fields) != 4 or not fields[0].isdigit():
            continue
        period, thread, dso, sym = fields
        tid, _, comm = thread.partition(":")
        sym = re.sub(r"^\[.\]\s*", "", sym)
        if sym.startswith("0x"):
            named = resolve(dso, int(sym, 16)) if resolve else None
            if named:
                dso, sym = named
            elif dso.endswith((".dll", ".exe", ".drv")):
                sym = dlls.name(dso, int(sym, 16))
        samples.append(Sample(int(period) / 1e9, owner.get(int(tid), int(tid)), int(tid), comm, dso, sym))
    return samples


def main_process(samples):
    """The process with the most samples: the program measured, not the helpers it started."""
    totals = {}
    for s in samples:
        totals[s.pid] = totals.get(s.pid, 0.0) + s.seconds
    return max(totals, key=totals.get) if totals else None
