"""Sorts a profile's samples into where the time went: the host stand-in's and the component's
own code, the XML engine, Wine's heap, the kernel, memory copies, conversions, the C runtime,
and for the peer Node.js's parts. Every sample goes to the first category that takes it."""

import re
import subprocess

from project_modules import MODULES, RUNTIME

OTHER_PROCESSES = "Other processes that the run starts (explorer.exe, Wine's services)"
KERNEL = "Kernel: page faults on new memory, system calls"
HEAP_FIRST_TOUCH = "Wine heap: first touch of new heap pages"
HEAP = "Wine heap: allocating, freeing, its lock"
COPIES = "Memory copies"
CONVERSIONS = "UTF-8 / UTF-16 conversions"
XML_ENGINE = "XML engine: parsing, XPath and XSLT, serialising"
NODE_GC = "Node.js: garbage collection"
NODE_JS = "Node.js: compiled JavaScript and V8's built-ins"
NODE_V8 = "Node.js: V8's runtime and compiler"
REST = "Loader, Wine's Unix side, windowing, other system libraries"

HEAP_FUNCTIONS = re.compile(r"Heap|heap|block|CriticalSection|free_list|subheap")
COPY_FUNCTIONS = re.compile(r"mem(move|cpy)|copy_fwd|copy_bwd")
CONVERSION_FUNCTIONS = re.compile(r"UTF8|UTF16|utf8|Utf8|Utf16|WideChar|MultiByte|Unicode")
GC_FUNCTIONS = re.compile(r"Scaveng|MarkCompact|Marking|Sweep|Evacuat|MemoryChunk|Heap::|HeapObject|GCTracer|"
                          r"Compactor|WriteBarrier|Promot|Collector")
C_RUNTIMES = ("ucrtbase.dll", "msvcrt.dll", "libc.so", "libstdc++", "libm.so")


def category(sample, main_pid, modules=None):
    dso, sym = sample.dso, sample.sym
    if sample.pid != main_pid:
        return OTHER_PROCESSES
    if dso.startswith("[kernel"):
        return KERNEL
    if dso == "ntdll.dll" and sym == "block_init_free":
        return HEAP_FIRST_TOUCH
    if dso == "ntdll.dll" and HEAP_FUNCTIONS.search(sym):
        return HEAP
    if COPY_FUNCTIONS.search(sym):
        return COPIES
    if CONVERSION_FUNCTIONS.search(sym):
        return CONVERSIONS
    if dso in MODULES and modules:
        return modules.part(dso, sym)
    if dso == "msxml3.dll":
        return XML_ENGINE
    if dso.startswith(C_RUNTIMES):
        return RUNTIME
    if dso == "node":
        return NODE_GC if GC_FUNCTIONS.search(sym) else (NODE_JS if sym.startswith("Builtins_") else NODE_V8)
    if dso.startswith("[JIT]") and sample.comm.startswith("node"):
        return NODE_JS
    return REST


def demangle(names):
    try:
        out = subprocess.run(["x86_64-w64-mingw32-c++filt"], input="\n".join(names), capture_output=True,
                             text=True).stdout.splitlines()
    except OSError:
        return names
    return out if len(out) == len(names) else names


def summarise(samples, main_pid, modules=None, top=8):
    """({category: CPU seconds}, CPU seconds in all, [(seconds, dso, function)] of the busiest
    functions of the measured process)."""
    seconds = {}
    functions = {}
    for sample in samples:
        name = category(sample, main_pid, modules)
        seconds[name] = seconds.get(name, 0.0) + sample.seconds
        if sample.pid == main_pid:
            sym = "(kernel)" if sample.dso.startswith("[kernel") else sample.sym
            key = (sample.dso, sym)
            functions[key] = functions.get(key, 0.0) + sample.seconds
    busiest = sorted(((s, dso, sym) for (dso, sym), s in functions.items()), reverse=True)[:top]
    names = demangle([sym for _, _, sym in busiest])
    busiest = [(s, dso, name) for (s, dso, _), name in zip(busiest, names)]
    return seconds, sum(seconds.values()), busiest


def other_processes(samples, main_pid):
    """The names of the other processes that took samples (each named by its main thread),
    busiest first."""
    totals, names = {}, {}
    for sample in samples:
        if sample.pid != main_pid:
            totals[sample.pid] = totals.get(sample.pid, 0.0) + sample.seconds
            if sample.tid == sample.pid or sample.pid not in names:
                names[sample.pid] = sample.comm
    ordered = []
    for pid in sorted(totals, key=totals.get, reverse=True):
        if names[pid] not in ordered:
            ordered.append(names[pid])
    return ordered
