"""Where a Windows program's time goes under Wine, from perf's cpu-clock samples: kernel work
(mostly page faults), Wine's heap, memory copies, UTF-8/UTF-16 conversions and the XML engine's
own code. Wine's built-in DLLs are PE files whose symbols perf cannot read, so their sample
addresses are resolved here with the MinGW nm."""

import bisect
import glob
import re
import subprocess
from pathlib import Path

CATEGORIES = [
    ("Kernel: page faults on new memory, system calls", lambda dso, sym: dso.startswith("[kernel")),
    ("Wine heap: first touch of new heap pages", lambda dso, sym: sym == "block_init_free"),
    ("Wine heap: allocating, freeing, its lock", lambda dso, sym: dso == "ntdll.dll" and re.search(
        r"Heap|heap|block|CriticalSection|free_list|subheap", sym)),
    ("Memory copies", lambda dso, sym: re.search(r"mem(move|cpy)|copy_fwd|copy_bwd", sym)),
    ("UTF-8 / UTF-16 conversions", lambda dso, sym: re.search(
        r"UTF8|UTF16|utf8|WideChar|MultiByte|Unicode", sym)),
    ("XML engine: parsing, XPath and XSLT, serialising", lambda dso, sym: dso == "msxml3.dll"),
    ("C runtime: malloc, strings", lambda dso, sym: dso in ("ucrtbase.dll", "msvcrt.dll") or dso.startswith("libc.so")),
]


def perf_usable():
    try:
        return subprocess.run(["perf", "stat", "-e", "cpu-clock", "true"], capture_output=True).returncode == 0
    except OSError:
        return False


class PeSymbols:
    def __init__(self):
        self.tables = {}
        self.folders = glob.glob("/usr/lib/*/wine/x86_64-windows") + glob.glob("/usr/lib/wine/x86_64-windows")

    def name(self, dll, rva):
        if dll not in self.tables:
            self.tables[dll] = self._load(dll)
        addresses, names = self.tables[dll]
        at = bisect.bisect_right(addresses, rva) - 1
        return names[at] if at >= 0 else hex(rva)

    def _load(self, dll):
        for folder in self.folders:
            path = Path(folder) / dll
            if path.exists():
                header = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(path)], capture_output=True,
                                        text=True).stdout
                base = int(re.search(r"ImageBase\s+([0-9a-fA-F]+)", header).group(1), 16)
                entries = []
                for line in subprocess.run(["x86_64-w64-mingw32-nm", str(path)], capture_output=True,
                                           text=True).stdout.splitlines():
                    parts = line.split()
                    if len(parts) == 3 and parts[1] in "tT":
                        entries.append((int(parts[0], 16) - base, parts[2]))
                entries.sort()
                return [e[0] for e in entries], [e[1] for e in entries]
        return [], []


def profile(command, data_file):
    """Records command with perf and returns [(category, percent)], largest first, and the top
    functions [(percent, dso, symbol)]."""
    subprocess.run(["perf", "record", "-q", "-e", "cpu-clock", "-F", "1000", "-o", str(data_file), "--"] + command,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, check=True)
    text = subprocess.run(["perf", "report", "-i", str(data_file), "--no-children", "-g", "none", "--sort",
                           "dso,sym", "--stdio"], capture_output=True, text=True).stdout
    symbols = PeSymbols()
    functions = {}
    for line in text.splitlines():
        match = re.match(r"\s+([\d.]+)%\s+(\S+)\s+\[.\]\s+(\S+)", line)
        if not match:
            continue
        percent, dso, sym = float(match.group(1)), match.group(2), match.group(3)
        if dso.endswith(".dll") and sym.startswith("0x"):
            sym = symbols.name(dso, int(sym, 16))
        elif dso.startswith("[kernel"):
            sym = "(kernel)"
        functions[(dso, sym)] = functions.get((dso, sym), 0.0) + percent
    categories = {}
    for (dso, sym), percent in functions.items():
        name = next((label for label, test in CATEGORIES if test(dso, sym)), "Other: the program's own code (the peer: Node.js and its compiled JavaScript)")
        categories[name] = categories.get(name, 0.0) + percent
    top = sorted(((p, d, s) for (d, s), p in functions.items()), reverse=True)[:8]
    return sorted(categories.items(), key=lambda item: -item[1]), top
