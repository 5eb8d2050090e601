"""Writes docs/benchmark.md from the benchmark's figures: the targets and their verdicts, the
payment run, the runner's share, the engine floor, the peer, memory per payment with the i686
estimate, and the profiles of the whole run and of the floor."""

import os
import platform
import re
import subprocess
from pathlib import Path

import project_modules
import step_times
import targets
import time_categories as tc

SHAPES = {
    "clean": "every identifier as the bank wants it",
    "typed": "as a clerk types it: IBANs in groups of four with blanks, BICs in lower case, a payee reference "
             "on two payments of three",
}
# The rows of the profile tables, in this order; a row no program has is left out.
PROFILE_ROWS = [label for label, _ in project_modules.PARTS] + [
    tc.XML_ENGINE, tc.HEAP, tc.HEAP_FIRST_TOUCH, tc.KERNEL, tc.COPIES, tc.CONVERSIONS, project_modules.RUNTIME,
    tc.NODE_JS, tc.NODE_V8, tc.NODE_GC, tc.REST, tc.OTHER_PROCESSES]


def load_average():
    return " / ".join(Path("/proc/loadavg").read_text().split()[:3])


def machine():
    cpu = "unknown"
    for line in Path("/proc/cpuinfo").read_text().splitlines():
        if line.startswith("model name"):
            cpu = line.split(":", 1)[1].strip()
            break
    mem_kib = int(re.search(r"MemTotal:\s+(\d+)", Path("/proc/meminfo").read_text()).group(1))
    return "%d cores (nproc), %s, %.1f GiB memory, %s" % (os.cpu_count(), cpu, mem_kib / 1024 / 1024,
                                                           platform.platform())


def tool_versions(wine):
    def first_line(command):
        try:
            return subprocess.run(command, capture_output=True, text=True).stdout.strip().splitlines()[0]
        except (OSError, IndexError):
            return "?"
    return "Wine %s, Node.js %s" % (first_line([wine, "--version"]), first_line(["node", "--version"]))


def verdict_text(met):
    return "not measured" if met is None else ("met" if met else "**missed**")


def header(startup, shapes, rounds, loads, started, versions, duration):
    out = ["# Benchmark: payment files at scale\n"]
    out.append("Made by `scripts/benchmark.sh` on %s; the benchmark itself took %.0f minutes.\n" % (
        started.strftime("%Y-%m-%d %H:%M"), duration / 60))
    out.append("- Machine: %s." % machine())
    out.append("- Tools: %s; the x86_64 build of the component and the host runner." % versions)
    out.append("- Load average (1/5/15 min) before the preparation and after each round: %s. The machine is "
               "shared with other builds, so times are the best of %d rounds; peak memory is the highest of "
               "them." % ("; ".join(loads), rounds))
    out.append("- Batches (`bench/make_batch.py`, the same seed every time, every payment valid): %s." % "; ".join(
        "*%s*, %s" % (shape, SHAPES[shape]) for shape in shapes))
    out.append("- Starting Wine and the runner with a batch of one payment: %.2f s wall time, %.0f MiB peak "
               "memory (Node.js with the peer on one payment: %.2f s, %.0f MiB). Every wall time below "
               "includes this start." % (startup["wall"], startup["rss"], startup["peer_wall"], startup["peer_rss"]))
    out.append("- A user's run of one payment, `bin/tavrin-host --auto` with the wrapper's checks and the Wine "
               "session: %.2f s when no Wine server or display of the prefix is alive (they are started), "
               "%.2f s repeated (best; median %.2f s of %d) while they stay alive between runs "
               "(SEPA_WINE_IDLE_SECONDS, 120 s by default).\n" % (
                   startup["first"], startup["repeated"], startup["repeated_median"], startup["repeated_runs"]))
    return out


def targets_section(verdicts):
    out = ["## Targets\n"]
    out.append("Computed from the figures below, on the same batches in the same rounds.\n")
    out.append("| # | target | batch | figure | verdict |")
    out.append("|---:|---|---|---|---|")
    for v in verdicts:
        out.append("| %d | %s | %s | %s | %s |" % (v.number, v.target, v.shape, v.figure, verdict_text(v.met)))
    return out


def rest_seconds(r, startup):
    """The wall time that neither Wine's start nor the component's timed steps account for."""
    return max(0.0, r["wall"] - startup["wall"] - r["all_steps"])


def run_section(results, startup):
    out = ["\n## The payment run\n"]
    out.append("`tavrin-host --auto` on each batch: reading the CSV, the component's payment run, the report. "
               "Steps are timed inside the component (SEPA_PHASE_TIMINGS, in the benchmark's own build); "
               "*transformation* writes the file through the component's checked stream into a temporary file, "
               "*save* flushes it to disk, moves it into place and checks it; *file* is stylesheet + document + "
               "transformation + save + release; *rest* is what is left of the wall time after Wine's start "
               "and the component's steps (next section). *peak* is the Wine process's maximum resident set "
               "(/usr/bin/time -v); *after document* is the working set once the credit transfer document is "
               "built.\n")
    out.append("| batch | payments | wall s | µs/payment | validation s | document s | transformation s | save s "
               "| file s | rest s | peak MiB | after document MiB | file MB |")
    out.append("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    for r in results:
        s = r["steps"]
        out.append("| %s | %d | %.2f | %.0f | %.3f | %.3f | %.3f | %.3f | %.3f | %.2f | %.0f | %.0f | %.1f |" % (
            r["shape"], r["size"], r["wall"], 1e6 * r["wall"] / r["size"], s["validation"], s["document"],
            s["transformation"], s["save"], r["file_steps"], rest_seconds(r, startup), r["rss"],
            s.get("MiB after document", 0.0), r["file_bytes"] / 1e6))
    return out


def runner_section(results, startup):
    out = ["\n## The runner's own share\n"]
    out.append("The host stand-in's runner reads the CSV, makes a payment object for each row, calls the "
               "component and writes its report. It does not time those steps itself yet, so its share is "
               "derived three ways. *rest* is what is left of the wall time after Wine's start and the "
               "component's timed steps. The windows come from watching the step file grow (every %.0f ms) "
               "while the run goes: each line is written as a step ends and holds its seconds, so the run "
               "falls into the time *before the component*'s first step (Wine's start, reading the CSV, "
               "making the payment objects, loading the component), *validation*, *dialog and settings* "
               "(the payment details dialog, the host's settings, the output path), the *file steps*, and "
               "*after the component* (the runner's report and the program's end). *+CSV, objects* and "
               "*+report* are the windows before and after the component less the same windows of the "
               "one-payment run: what the batch's size adds to the runner's reading and objects, and to its "
               "report. The profile of the whole run (below) shows where the CPU time of each window goes, "
               "the runner's own code apart from the component's.\n" % (
                   1000 * step_times.INTERVAL_S))
    out.append("| batch | payments | wall s | rest s | before the component s | +CSV, objects s | validation s | "
               "dialog and settings s | file steps s | after the component s | +report s |")
    out.append("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    start = startup.get("windows") or {}
    for r in results:
        w = r.get("windows") or {}
        cells = ["-"] * 7
        if w:
            cells = ["%.2f" % w[step_times.BEFORE],
                     "%.2f" % (w[step_times.BEFORE] - start[step_times.BEFORE]) if start else "-",
                     "%.2f" % w[step_times.VALIDATION], "%.2f" % w[step_times.BETWEEN], "%.2f" % w[step_times.FILE],
                     "%.2f" % w[step_times.AFTER],
                     "%.2f" % (w[step_times.AFTER] - start[step_times.AFTER]) if start else "-"]
        out.append("| %s | %d | %.2f | %.2f | %s |" % (r["shape"], r["size"], r["wall"], rest_seconds(r, startup),
                                                       " | ".join(cells)))
    if start:
        out.append("\nThe one-payment run: %s." % ", ".join("%s %.2f s" % (name, start[name])
                                                             for name in step_times.WINDOWS))
    names = []
    for r in results:
        names.extend(name for name in r["runner_steps"] if name not in names)
    if names:
        out.append("\nThe runner's own step timings (lines `runner-NAME SECONDS` in SEPA_PHASE_TIMINGS), best of "
                   "the rounds:\n")
        out.append("| batch | payments | %s |" % " | ".join("%s s" % name for name in names))
        out.append("|---|---:|%s" % ("---:|" * len(names)))
        for r in results:
            out.append("| %s | %d | %s |" % (r["shape"], r["size"], " | ".join(
                "%.3f" % r["runner_steps"][name] if name in r["runner_steps"] else "-" for name in names)))
    else:
        out.append("\nLines `runner-NAME SECONDS` that the runner appends to the SEPA_PHASE_TIMINGS file, once it "
                   "times its own steps, will show here in a table of their own, one column each.")
    return out


def floor_section(results):
    out = ["\n## Against the XML engine floor\n"]
    out.append("The floor is `sepa_xml_engine_floor.exe`, a bare program run the same way: the same engine "
               "parses the run's own credit transfer document (saved by the preparation run through "
               "SEPA_SAVE_INTERMEDIATE, its line breaks kept), loads the same embedded stylesheet and "
               "transforms into the system's own stream on the output file (*save* closes it), and nothing "
               "else. Where the run builds that document from the host's payments, the floor parses it "
               "(*load*). *own / floor* is the target's ratio: validation + document + transformation + save "
               "against the floor's load + transformation + save. *file / floor* and *all / floor* compare every "
               "timed step, stylesheet and release included, without and with validation, against the whole "
               "floor.\n")
    out.append("| batch | payments | floor load s | floor transformation s | floor save s | floor s | own / floor "
               "| file / floor | all / floor | floor peak MiB |")
    out.append("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    for r in results:
        f = r["floor_steps"]
        out.append("| %s | %d | %.3f | %.3f | %.3f | %.3f | %.2f | %.2f | %.2f | %.0f |" % (
            r["shape"], r["size"], f["load"], f["transformation"], f["save"], r["floor"],
            targets.own_steps(r) / targets.floor_counterparts(r), r["file_steps"] / r["floor"],
            r["all_steps"] / r["floor"], r["floor_rss"]))
    return out


def peer_section(results, shapes):
    out = ["\n## Against the peer\n"]
    out.append("The peer is the npm package `sepa` 3.0.0 on Node.js (`bench/peer/pain001.mjs`), writing the same "
               "transactions from the same CSV as pain.001.001.03, with the blanks of IBANs and BICs taken out "
               "and both in capitals, as the component does. Ratios are this project / peer.\n")
    out.append("| batch | payments | run wall s | peer wall s | time ratio | run peak MiB | peer peak MiB | "
               "memory ratio |")
    out.append("|---|---:|---:|---:|---:|---:|---:|---:|")
    for r in results:
        out.append("| %s | %d | %.2f | %.2f | %.2f | %.0f | %.0f | %.2f |" % (
            r["shape"], r["size"], r["wall"], r["peer_wall"], r["wall"] / r["peer_wall"], r["rss"], r["peer_rss"],
            r["rss"] / r["peer_rss"]))
    by = {(r["shape"], r["size"]): r for r in results}
    lines = []
    for shape in shapes:
        if (shape, targets.SMALL) in by and (shape, targets.LARGE) in by:
            small, large = by[(shape, targets.SMALL)], by[(shape, targets.LARGE)]
            lines.append("%s: %.1f µs against the peer's %.1f µs (the component's steps alone %.1f µs)" % (
                shape, 1e6 * targets.further_payment_seconds(small, large, "wall"),
                1e6 * targets.further_payment_seconds(small, large, "peer_wall"),
                1e6 * targets.further_payment_seconds(small, large, "all_steps")))
    if lines:
        out.append("\nEach further payment, (99,999-payment run − 10,000-payment run) / 89,999: %s." % "; ".join(
            lines))
    return out


def memory_section(results, startup, estimates):
    out = ["\n## Memory per payment and the i686 build\n"]
    out.append("*per payment* is the peak over the number of payments; *growth* is the peak less the "
               "one-payment run's (%.0f MiB, mostly Wine and the DLLs) over the number of payments.\n" %
               startup["rss"])
    out.append("| batch | payments | peak MiB | KiB per payment | growth KiB per payment | peer peak MiB | "
               "peer KiB per payment |")
    out.append("|---|---:|---:|---:|---:|---:|---:|")
    for r in results:
        out.append("| %s | %d | %.0f | %.1f | %.1f | %.0f | %.1f |" % (
            r["shape"], r["size"], r["rss"], r["rss"] * 1024 / r["size"],
            (r["rss"] - startup["rss"]) * 1024 / r["size"], r["peer_rss"], r["peer_rss"] * 1024 / r["size"]))
    if not estimates:
        return out
    out.append("\nThe product is a 32-bit DLL in a 32-bit host whose own data shares the same 2 GiB of address "
               "space. The i686 build cannot run here (no 32-bit Wine is installed), so its need is estimated "
               "from the x86_64 figures. At the peak, while the transformation runs, the engine holds two "
               "trees: the credit transfer document that the component built and the transformation's "
               "result. Their nodes, attributes and strings are counted in the run's files (the saved credit "
               "transfer document with its blank text nodes, the payment file without its indentation, which "
               "the serialiser adds) and sized as libxml2 allocates them, one heap block each: a node is 120 "
               "bytes on 64 bits, 13 of its fields pointers, and 60 bytes on 32 bits; an attribute 96 and 48. "
               "Wine's heap adds 8 bytes to each block and rounds it to 16 bytes, at least 48, on 64 bits; "
               "to 8 bytes, at least 24, on 32 bits. What the model does not explain (the host's payment "
               "objects, the component's own data, free heap space) is taken to be as large on 32 bits, so "
               "the estimate errs high.\n")
    out.append("| batch | nodes per payment | modelled x86_64 bytes | of them pointers | modelled i686 bytes | "
               "measured growth bytes | model explains | i686 estimate bytes | 99,999 payments on i686 |")
    out.append("|---|---:|---:|---:|---:|---:|---:|---:|---:|")
    for shape, e in estimates.items():
        m = e["model"]
        out.append("| %s | %.1f + %.1f attributes | %.0f | %.0f | %.0f | %.0f (%s to %s payments) | %.0f%% | %.0f | "
                   "%.0f MiB, %.0f%% of 2 GiB |" % (
                       shape, m["nodes"], m["attributes"], m["64"], m["pointers"], m["32"], e["growth"],
                       "{:,}".format(e["growth_between"][0]), "{:,}".format(e["growth_between"][1]),
                       100 * m["64"] / e["growth"], e["i686"]["per_payment"], e["i686"]["total_mib"],
                       100 * e["i686"]["total_mib"] / 2048))
    out.append("\nThe trees' pointer fields alone are %s of the measured growth per payment. The 99,999-payment "
               "figure is the one-payment run's %.0f MiB plus the estimate per payment; the host's own data, "
               "the DLLs' address ranges and the heap's reserved but untouched space come on top of it in the "
               "2 GiB." % (", ".join("%.0f%% (%s)" % (100 * e["model"]["pointers"] / e["growth"], shape)
                                     for shape, e in estimates.items()), startup["rss"]))
    return out


def seconds_cell(profile, row):
    seconds = profile["categories"].get(row)
    if seconds is None:
        return "-"
    return "%.2f s (%.0f%%)" % (seconds, 100 * seconds / profile["cpu"]) if profile["cpu"] else "-"


def placement_text(placement):
    parts = []
    for module, (image_base, loaded) in placement.items():
        if loaded is None:
            parts.append("%s: not in Wine's trace, taken at its ImageBase %#x" % (module, image_base))
        elif loaded == image_base:
            parts.append("%s at its ImageBase %#x" % (module, image_base))
        else:
            parts.append("%s at %#x, not its ImageBase %#x" % (module, loaded, image_base))
    return "; ".join(parts)


def profile_section(profiled, results):
    out = ["\n## Where the whole run's time goes\n"]
    if not profiled:
        out.append("perf cannot sample on this machine; no profile.")
        return out
    size = profiled["size"]
    shapes = list(profiled["run"])
    by = {(r["shape"], r["size"]): r for r in results}
    out.append("perf's cpu-clock samples (one per millisecond of CPU) of the whole run of %d payments: "
               "`tavrin-host.exe --auto` under Wine with every process it starts, beside the peer on the same "
               "batch, each in a run of its own after the rounds (sampling slows it a little). Samples in "
               "Wine's DLLs are named with MinGW's nm; the project's own modules, which perf "
               "sees only as raw addresses, are placed where Wine's +loaddll trace says they were loaded (%s), "
               "named with nm on each module or its .debug file, and traced to the object files of the build "
               "that define each function. The Wine server is a process of its own, started before the run: "
               "its CPU time over the run comes from /proc. Seconds are CPU seconds; the share is of the "
               "program's sampled CPU.\n" % (size, placement_text(profiled["run"][shapes[0]]["placement"])))
    columns = [("run, %s" % shape, profiled["run"][shape]) for shape in shapes] + \
              [("peer, %s" % shape, profiled["peer"][shape]) for shape in shapes]
    out.append("| where | %s |" % " | ".join(name for name, _ in columns))
    out.append("|---|%s" % ("---:|" * len(columns)))
    for row in PROFILE_ROWS:
        if any(row in profile["categories"] for _, profile in columns):
            out.append("| %s | %s |" % (row, " | ".join(seconds_cell(profile, row) for _, profile in columns)))
    out.append("| **CPU sampled** | %s |" % " | ".join("%.2f s" % profile["cpu"] for _, profile in columns))
    out.append("| Wine server, its own process | %s |" % " | ".join(
        "%.2f s" % profile["server"] if profile.get("server") is not None else "-" for name, profile in columns))
    walls = ["%.2f s" % by[(shape, size)]["wall"] if (shape, size) in by else "-" for shape in shapes] + \
            ["%.2f s" % by[(shape, size)]["peer_wall"] if (shape, size) in by else "-" for shape in shapes]
    out.append("| wall time, best round (unprofiled) | %s |" % " | ".join(walls))
    for shape in shapes:
        run = profiled["run"][shape]
        out.append("\nThe run's busiest functions (%s): %s. Other processes that took samples: %s." % (
            shape, ", ".join("%s %s %.2f s" % (dso, sym, seconds) for seconds, dso, sym in run["top"]),
            ", ".join(run["others"]) or "none"))
    for shape in shapes:
        out += windows_table(profiled["run"][shape], shape, size)
    return out


def windows_table(run, shape, size):
    """CPU seconds by where they went and when in the run (step_times' windows)."""
    windows = run.get("windows") or {}
    if not windows:
        return []
    names = [name for name in step_times.WINDOWS if name in windows]
    out = ["\nThe run of %d %s payments by window (CPU seconds; the windows' wall time first):\n" % (size, shape)]
    out.append("| where | %s | whole run |" % " | ".join(names))
    out.append("|---|%s---:|" % ("---:|" * len(names)))
    out.append("| *wall time* | %s | - |" % " | ".join("%.2f" % windows[name]["wall"] for name in names))
    for row in PROFILE_ROWS:
        if row in run["categories"]:
            out.append("| %s | %s | %.2f |" % (row, " | ".join(
                "%.2f" % windows[name]["categories"].get(row, 0.0) for name in names), run["categories"][row]))
    out.append("| **CPU sampled** | %s | %.2f |" % (" | ".join("%.2f" % windows[name]["cpu"] for name in names),
                                                    run["cpu"]))
    return out


def floor_profile_section(profiled):
    out = ["\n## Where the engine floor's time goes\n"]
    if not profiled:
        out.append("perf cannot sample on this machine; no profile.")
        return out
    floor, peer = profiled["floor"], profiled["peer"].get("clean")
    out.append("The same samples of the engine floor on %d clean payments, beside the peer's on the same batch:\n"
               % profiled["size"])
    out.append("| share of samples | engine floor | peer |")
    out.append("|---|---:|---:|")
    for row in PROFILE_ROWS:
        if row in floor["categories"] or (peer and row in peer["categories"]):
            out.append("| %s | %s | %s |" % (row, share(floor, row), share(peer, row) if peer else "-"))
    out.append("\nThe floor's busiest functions: %s." % ", ".join(
        "%s %s %.1f%%" % (dso, sym, 100 * seconds / floor["cpu"]) for seconds, dso, sym in floor["top"]))
    return out


def share(profile, row):
    seconds = profile["categories"].get(row)
    return "%.0f%%" % (100 * seconds / profile["cpu"]) if seconds is not None and profile["cpu"] else "-"


def engine_note(results):
    largest = max(results, key=lambda r: r["size"])
    ratios = [r["all_steps"] / r["floor"] for r in results]
    return ["\nWhy the engine costs what it does here. Wine's XML engine (built on libxml2 and libxslt) "
            "builds the whole result tree of a transformation before it writes any of it; written to a "
            "stream, the tree is serialised straight into the stream's writes, with no output document "
            "and no second parse. So while the transformation runs, the source document and the result "
            "tree are in memory: the floor's peak comes to %.1f KiB per payment at %d payments. Most of "
            "the time follows from that memory: on this virtual machine first touches of new pages are "
            "expensive, and Wine's heap takes a lock on every allocation. The peer builds one tree of plain "
            "objects and one string. The run's timed steps take %.2f to %.2f times the floor's time; what "
            "the run's wall time adds beyond them is the *rest* above, where the profile shows what it is." % (
                largest["floor_rss"] * 1024 / largest["size"], largest["size"], min(ratios), max(ratios))]


def write(results, startup, shapes, rounds, loads, started, versions, profiled, estimates, verdicts, duration):
    out = header(startup, shapes, rounds, loads, started, versions, duration)
    out += targets_section(verdicts)
    out += run_section(results, startup)
    out += runner_section(results, startup)
    out += floor_section(results)
    out += peer_section(results, shapes)
    out += memory_section(results, startup, estimates)
    out += profile_section(profiled, results)
    out += floor_profile_section(profiled)
    out += engine_note(results)
    return "\n".join(out) + "\n"
