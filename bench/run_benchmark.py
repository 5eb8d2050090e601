#!/usr/bin/env python3
"""Runs the payment file benchmark and writes its report; scripts/benchmark.sh prepares
everything it needs (build, batches, peer packages, Wine prefix and display) and calls it.

For each batch size, in rounds so that a change in the machine's load hits every size alike:
- the host runner's whole payment run under Wine (--auto), with the component's own step
  timings (SEPA_PHASE_TIMINGS) and the peak memory of the Wine process (/usr/bin/time -v);
- the XML engine floor: the engine alone on the same credit transfer document, saved once by
  a preparation run (SEPA_SAVE_INTERMEDIATE);
- the peer: the sepa package on Node.js writing the same transactions.
Times are the best of the rounds; peak memory is the highest of the rounds. Then the cost of
starting: bin/tavrin-host --auto on one payment, as a user types it, in a Wine prefix of the
benchmark's own, first with nothing of Wine running and then repeated.
"""

import argparse
import datetime
import json
import os
import platform
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

import engine_profile

FILE_STEPS = ["stylesheet", "document", "transformation", "save", "release"]
FLOOR_STEPS = ["stylesheet", "load", "transformation", "save", "release"]
REPOSITORY = Path(__file__).resolve().parent.parent


def windows_path(path):
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def timed(command, env=None):
    """Runs command under /usr/bin/time -v; returns (exit status, wall seconds, peak RSS in MiB,
    its standard output). Output goes through files, not pipes: the Wine services that a Windows
    program starts inherit its handles and would hold a pipe open long after it ended."""
    scratch = Path(os.environ.get("TMPDIR", "/tmp"))
    stats, out, err = (scratch / ("bench-%s-%d.txt" % (name, os.getpid())) for name in ("time", "out", "err"))
    with open(out, "w") as stdout, open(err, "w") as stderr:
        start = time.perf_counter()
        status = subprocess.call(["/usr/bin/time", "-v", "-o", str(stats)] + command, env=env, stdout=stdout,
                                 stderr=stderr, stdin=subprocess.DEVNULL)
        wall = time.perf_counter() - start
    rss_kib = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", stats.read_text()).group(1))
    output = out.read_text()
    if status != 0:
        sys.stderr.write(err.read_text()[-2000:])
    for path in (stats, out, err):
        path.unlink()
    return status, wall, rss_kib / 1024.0, output


def read_steps(text):
    """Lines "step seconds [working-set-MiB peak-MiB]"; the seconds of a repeated step add up."""
    steps = {}
    for line in text.splitlines():
        fields = line.split()
        steps[fields[0]] = steps.get(fields[0], 0.0) + float(fields[1])
        if len(fields) >= 4:
            steps["peak MiB"] = max(steps.get("peak MiB", 0.0), float(fields[3]))
            steps["MiB after " + fields[0]] = float(fields[2])
    return steps


def count_transactions(path):
    data = Path(path).read_bytes()
    return data.count(b"<CdtTrfTxInf>"), re.search(rb"<NbOfTxs>(\d+)</NbOfTxs>", data)


class Bench:
    def __init__(self, args):
        self.args = args
        self.build = Path(args.build).resolve()
        self.work = Path(args.work).resolve()
        self.wine = os.environ["WINE64"]
        self.runner = self.build / "bin" / "tavrin-host.exe"
        self.floor = self.build / "bin" / "sepa_xml_engine_floor.exe"
        self.peer = Path(args.peer).resolve()

    def batch(self, size):
        return self.work / ("batch-%d.csv" % size)

    def intermediate(self, size):
        return self.work / ("intermediate-%d.xml" % size)

    def run_component(self, size, save_intermediate=False):
        out = self.work / ("out-%d" % size)
        shutil.rmtree(out, ignore_errors=True)
        out.mkdir(parents=True)
        steps_file = self.work / ("steps-%d.txt" % size)
        steps_file.unlink(missing_ok=True)
        env = dict(os.environ, SEPA_PHASE_TIMINGS=windows_path(steps_file))
        if save_intermediate:
            env["SEPA_SAVE_INTERMEDIATE"] = windows_path(self.intermediate(size))
        report = self.work / ("report-%d.json" % size)
        status, wall, rss, _ = timed([self.wine, str(self.runner), "--auto", "--payment-dir", windows_path(out),
                                      "--report", windows_path(report), windows_path(self.batch(size))], env=env)
        if status != 0:
            raise SystemExit("the payment run of %d payments ended with status %d" % (size, status))
        files = list(out.glob("BOV*PAIN001.xml"))
        if len(files) != 1:
            raise SystemExit("the payment run of %d payments left %d files" % (size, len(files)))
        found, declared = count_transactions(files[0])
        if found != size or not declared or int(declared.group(1)) != size:
            raise SystemExit("the file of %d payments holds %d transactions" % (size, found))
        steps = read_steps(steps_file.read_text())
        return {"wall": wall, "rss": rss, "steps": steps, "file_bytes": files[0].stat().st_size}

    def run_wrapper(self, env):
        """One payment through bin/tavrin-host, wrapper and Wine session included."""
        out = self.work / "out-wrapper"
        shutil.rmtree(out, ignore_errors=True)
        out.mkdir(parents=True)
        report = self.work / "report-wrapper.json"
        report.unlink(missing_ok=True)
        status, wall, _, _ = timed([str(REPOSITORY / "bin" / "tavrin-host"), "--auto", "--payment-dir", str(out),
                                    "--report", str(report), str(self.batch(1))], env=env)
        if status != 0 or json.loads(report.read_text())["status"] != 0 or len(list(out.glob("BOV*PAIN001.xml"))) != 1:
            raise SystemExit("the wrapper's run of one payment failed (exit status %d)" % status)
        return wall

    def starts(self, rounds):
        """Wall times of a one-payment run through the wrapper: the first after the benchmark's
        prefix has been ended (no Wine server or display alive), and the repeated ones after it."""
        env = dict(os.environ, TAVRIN_NO_BUILD="1", TAVRIN_BUILD_DIR=str(self.build),
                   SEPA_WINEPREFIX=str(self.work / "wineprefix-start"))
        end_prefix = ["bash", "-c", 'source "$1/scripts/wine-env.sh" "$2" && end_wine_prefix', "-",
                      str(REPOSITORY), str(self.build)]
        self.run_wrapper(env)  # makes the prefix
        first, repeated = [], []
        for _ in range(rounds):
            subprocess.run(end_prefix, env=env, check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
            first.append(self.run_wrapper(env))
            repeated.extend(self.run_wrapper(env) for _ in range(3))
        subprocess.run(end_prefix, env=env, check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
        return {"first": min(first), "repeated": min(repeated),
                "repeated_median": sorted(repeated)[len(repeated) // 2]}

    def run_floor(self, size):
        output = self.work / ("floor-%d.xml" % size)
        status, wall, rss, text = timed([self.wine, str(self.floor), windows_path(self.intermediate(size)),
                                         windows_path(output)])
        if status != 0:
            raise SystemExit("the engine floor on %d payments failed" % size)
        found, _ = count_transactions(output)
        if found != size:
            raise SystemExit("the engine floor wrote %d of %d transactions" % (found, size))
        return {"wall": wall, "rss": rss, "steps": read_steps(text)}

    def run_peer(self, size):
        output = self.work / ("peer-%d.xml" % size)
        status, wall, rss, text = timed(["node", str(self.peer / "pain001.mjs"), str(self.batch(size)), str(output)])
        if status != 0:
            raise SystemExit("the peer failed on %d payments" % size)
        found, _ = count_transactions(output)
        if found != size:
            raise SystemExit("the peer wrote %d of %d transactions" % (found, size))
        return {"wall": wall, "rss": rss, "steps": json.loads(text)["phases"]}


def best(runs, key):
    return min(run[key] for run in runs)


def best_steps(runs, names):
    return {name: min(run["steps"].get(name, 0.0) for run in runs) for name in names}


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


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--peer", required=True)
    parser.add_argument("--doc", required=True)
    parser.add_argument("--sizes", type=int, nargs="+", default=[1000, 10000, 50000, 99999])
    parser.add_argument("--rounds", type=int, default=3)
    args = parser.parse_args()

    bench = Bench(args)
    sizes = args.sizes
    loads = [load_average()]
    started = datetime.datetime.now()

    # Preparation: each size once, saving its credit transfer document for the floor; this also
    # warms the file cache. The one-payment batch measures what starting Wine costs.
    print("preparing: load %s" % loads[0], flush=True)
    for size in [1] + sizes:
        bench.run_component(size, save_intermediate=True)

    component = {size: [] for size in [1] + sizes}
    floor = {size: [] for size in sizes}
    peer = {size: [] for size in [1] + sizes}
    for round_number in range(1, args.rounds + 1):
        for size in [1] + sizes:
            component[size].append(bench.run_component(size))
            peer[size].append(bench.run_peer(size))
            if size in floor:
                floor[size].append(bench.run_floor(size))
            print("round %d, %6d payments: run %.2f s, floor %s, peer %.2f s" % (
                round_number, size, component[size][-1]["wall"],
                "%.2f s" % floor[size][-1]["wall"] if size in floor else "-", peer[size][-1]["wall"]), flush=True)
        loads.append(load_average())

    results = []
    for size in sizes:
        steps = best_steps(component[size], ["validation"] + FILE_STEPS)
        steps["MiB after document"] = max(run["steps"].get("MiB after document", 0.0) for run in component[size])
        floor_steps = best_steps(floor[size], FLOOR_STEPS)
        file_steps = sum(steps[name] for name in FILE_STEPS)
        results.append({
            "size": size,
            "wall": best(component[size], "wall"),
            "rss": max(run["rss"] for run in component[size]),
            "steps": steps,
            "file_steps": file_steps,
            "all_steps": file_steps + steps["validation"],
            "floor_steps": floor_steps,
            "floor": sum(floor_steps.values()),
            "floor_wall": best(floor[size], "wall"),
            "floor_rss": max(run["rss"] for run in floor[size]),
            "peer_wall": best(peer[size], "wall"),
            "peer_rss": max(run["rss"] for run in peer[size]),
            "peer_steps": best_steps(peer[size], ["parse", "build", "serialise", "save"]),
            "file_bytes": component[size][0]["file_bytes"],
        })
    startup = {"wall": best(component[1], "wall"), "rss": max(run["rss"] for run in component[1]),
               "peer_wall": best(peer[1], "wall"), "peer_rss": max(run["rss"] for run in peer[1])}

    print("starting: one payment through bin/tavrin-host, first and repeated", flush=True)
    startup.update(bench.starts(args.rounds))

    profiled = None
    if engine_profile.perf_usable():
        size = max([s for s in sizes if s <= 50000] or sizes[:1])
        print("profiling the engine floor and the peer on %d payments" % size, flush=True)
        floor_profile = engine_profile.profile(
            [bench.wine, str(bench.floor), windows_path(bench.intermediate(size)),
             windows_path(bench.work / "floor-profiled.xml")], bench.work / "floor.perf")
        peer_profile = engine_profile.profile(
            ["node", str(bench.peer / "pain001.mjs"), str(bench.batch(size)), str(bench.work / "peer-profiled.xml")],
            bench.work / "peer.perf")
        profiled = (size, floor_profile, peer_profile)

    text = report(results, startup, sizes, args.rounds, loads, started, tool_versions(bench.wine), profiled)
    print()
    print(text)
    Path(args.doc).write_text(text)
    (bench.work / "results.json").write_text(json.dumps({"results": results, "startup": startup, "loads": loads},
                                                        indent=1))


def targets(results):
    by_size = {r["size"]: r for r in results}
    lines = []

    def verdict(ok):
        return "met" if ok else "**missed**"

    if 10000 in by_size and 99999 in by_size:
        small, large = by_size[10000], by_size[99999]
        wall_ratio = (large["wall"] / large["size"]) / (small["wall"] / small["size"])
        steps_ratio = (large["all_steps"] / large["size"]) / (small["all_steps"] / small["size"])
        lines.append("- Time per payment at 99,999 against 10,000 payments, at most 1.3: wall time %.2f, the "
                     "component's own steps %.2f: %s." % (wall_ratio, steps_ratio,
                                                        verdict(wall_ratio <= 1.3 and steps_ratio <= 1.3)))
    worst = max(r["all_steps"] / r["floor"] for r in results)
    worst_file = max(r["file_steps"] / r["floor"] for r in results)
    lines.append("- The component's steps against the engine floor, at most 1.25: file steps up to %.2f, with "
                 "validation up to %.2f: %s." % (worst_file, worst, verdict(worst <= 1.25)))
    for r in results:
        if r["rss"] > r["peer_rss"]:
            lines.append("- Peak memory no more than the peer's at %d payments: %.0f MiB against %.0f MiB: **missed**; "
                         "the engine floor alone peaks at %.0f MiB." % (r["size"], r["rss"], r["peer_rss"],
                                                                      r["floor_rss"]))
        else:
            lines.append("- Peak memory no more than the peer's at %d payments: %.0f MiB against %.0f MiB: met." % (
                r["size"], r["rss"], r["peer_rss"]))
    for size in (10000, 50000, 99999):
        if size in by_size:
            r = by_size[size]
            met = r["wall"] <= 1.25 * r["peer_wall"]
            lines.append("- Wall time at most 1.25x the peer's at %d payments: %.2f s against %.2f s (%.2fx): %s%s." % (
                size, r["wall"], r["peer_wall"], r["wall"] / r["peer_wall"], verdict(met),
                "; the engine floor alone takes %.2f s of wall time (%.2fx the peer)" % (
                    r["floor_wall"], r["floor_wall"] / r["peer_wall"]) if not met else ""))
    return "\n".join(lines)


def profile_section(profiled):
    if not profiled:
        return ["\n## Where the engine floor's time goes\n", "perf cannot sample on this machine; no profile."]
    size, (floor_categories, floor_top), (peer_categories, _) = profiled
    out = ["\n## Where the engine floor's time goes\n"]
    out.append("perf's cpu-clock samples of the engine floor on %d payments (Wine's PE DLLs resolved with "
               "MinGW's nm), beside the peer's on the same batch:\n" % size)
    out.append("| share of samples | engine floor | peer |")
    out.append("|---|---:|---:|")
    peer = dict(peer_categories)
    for name, percent in floor_categories:
        out.append("| %s | %.0f%% | %s |" % (name, percent, "%.0f%%" % peer[name] if name in peer else "-"))
    out.append("\nThe floor's busiest functions: %s." % ", ".join(
        "%s %s %.1f%%" % (dso, sym, percent) for percent, dso, sym in floor_top))
    return out


def report(results, startup, sizes, rounds, loads, started, versions, profiled=None):
    out = []
    out.append("# Benchmark: payment files at scale\n")
    out.append("Made by `scripts/benchmark.sh` on %s.\n" % started.strftime("%Y-%m-%d %H:%M"))
    out.append("- Machine: %s." % machine())
    out.append("- Tools: %s; the x86_64 build of the component and the host runner." % versions)
    out.append("- Load average (1/5/15 min) before the preparation and after each round: %s. The machine is "
               "shared with other builds, so times are the best of %d rounds; peak memory is the highest of "
               "them." % ("; ".join(loads), rounds))
    out.append("- Starting Wine and the runner with a batch of one payment: %.2f s wall time, %.0f MiB peak "
               "memory (Node.js with the peer on one payment: %.2f s, %.0f MiB). Every wall time below "
               "includes this start." % (startup["wall"], startup["rss"], startup["peer_wall"], startup["peer_rss"]))
    out.append("- A user's run of one payment, `bin/tavrin-host --auto` with the wrapper's checks and the Wine "
               "session: %.2f s when no Wine server or display of the prefix is alive (they are started), "
               "%.2f s repeated (best; median %.2f s) while they stay alive between runs "
               "(SEPA_WINE_IDLE_SECONDS, 120 s by default).\n" % (
                   startup["first"], startup["repeated"], startup["repeated_median"]))

    out.append("## The payment run\n")
    out.append("`tavrin-host --auto` on a generated batch in which every payment is valid: reading the CSV, "
               "the component's payment run, the report. Steps are timed inside the component "
               "(SEPA_PHASE_TIMINGS, in the benchmark's own build); *transformation* writes the file through "
               "the component's checked stream into a temporary file, *save* flushes it to disk, moves it "
               "into place and checks it; *file* is stylesheet + document + transformation + save + release; "
               "*runner* is what is left of the wall time after Wine's start and the component's steps: the "
               "host stand-in reading the CSV, making its payment objects and writing its report. *peak* is "
               "the Wine process's maximum resident set (/usr/bin/time -v); *after document* is the working "
               "set once the credit transfer document is built.\n")
    out.append("| payments | wall s | µs/payment | validation s | document s | transformation s | save s "
               "| file s | runner s | peak MiB | after document MiB | file MB |")
    out.append("|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    for r in results:
        s = r["steps"]
        out.append("| %d | %.2f | %.0f | %.3f | %.3f | %.3f | %.3f | %.3f | %.2f | %.0f | %.0f | %.1f |" % (
            r["size"], r["wall"], 1e6 * r["wall"] / r["size"], s["validation"], s["document"], s["transformation"],
            s["save"], r["file_steps"], max(0.0, r["wall"] - startup["wall"] - r["all_steps"]), r["rss"],
            s.get("MiB after document", 0.0), r["file_bytes"] / 1e6))

    out.append("\n## Against the XML engine floor\n")
    out.append("The floor is `sepa_xml_engine_floor.exe`, a bare program run the same way: the same engine "
               "parses the run's own credit transfer document (saved by the preparation run through "
               "SEPA_SAVE_INTERMEDIATE, its line breaks kept), loads the same embedded stylesheet and "
               "transforms into the system's own stream on the output file (*save* closes it), and nothing "
               "else. Where the run builds that document from the host's payments, the floor parses it "
               "(*load*). *all steps* adds the run's validation.\n")
    out.append("| payments | floor load s | floor transformation s | floor save s | floor s | file steps / floor "
               "| all steps / floor | floor peak MiB |")
    out.append("|---:|---:|---:|---:|---:|---:|---:|---:|")
    for r in results:
        f = r["floor_steps"]
        out.append("| %d | %.3f | %.3f | %.3f | %.3f | %.2f | %.2f | %.0f |" % (
            r["size"], f["load"], f["transformation"], f["save"], r["floor"], r["file_steps"] / r["floor"],
            r["all_steps"] / r["floor"], r["floor_rss"]))

    out.append("\n## Against the peer\n")
    out.append("The peer is the npm package `sepa` 3.0.0 on Node.js (`bench/peer/pain001.mjs`), writing the same "
               "transactions from the same CSV as pain.001.001.03. Ratios are this project / peer.\n")
    out.append("| payments | run wall s | peer wall s | time ratio | run peak MiB | peer peak MiB | memory ratio |")
    out.append("|---:|---:|---:|---:|---:|---:|---:|")
    for r in results:
        out.append("| %d | %.2f | %.2f | %.2f | %.0f | %.0f | %.2f |" % (
            r["size"], r["wall"], r["peer_wall"], r["wall"] / r["peer_wall"], r["rss"], r["peer_rss"],
            r["rss"] / r["peer_rss"]))

    out.extend(profile_section(profiled))
    largest = results[-1]
    ratios = [r["all_steps"] / r["floor"] for r in results]
    out.append("\nWhy the engine costs what it does here. Wine's XML engine (built on libxml2 and libxslt) "
               "builds the whole result tree of a transformation before it writes any of it; written to a "
               "stream, the tree is serialised straight into the stream's writes, with no output document "
               "and no second parse. So while the transformation runs, the source document and the result "
               "tree are in memory: the floor's peak comes to %.1f KiB per payment at %d payments. Most of "
               "the time follows from "
               "that memory: on this virtual machine first touches of new pages are expensive, and Wine's "
               "heap takes a lock on every allocation. The peer builds one tree of plain objects and one "
               "string. The run's own steps take %.2f to %.2f times the floor's time; what the run's wall "
               "time adds beyond the floor is mostly the host stand-in's work (*runner* above)." % (
                   largest["floor_rss"] * 1024 / largest["size"], largest["size"], min(ratios), max(ratios)))

    out.append("\n## Targets\n")
    out.append(targets(results))
    return "\n".join(out) + "\n"


if __name__ == "__main__":
    main()
