#!/usr/bin/env python3
"""Runs the payment file benchmark and writes its report; scripts/benchmark.sh prepares
everything it needs (build, batches, peer packages, Wine prefix and display) and calls it.

For each batch shape and size, in rounds so that a change in the machine's load hits every run
alike:
- the host runner's whole payment run under Wine (--auto), with the component's own step
  timings (SEPA_PHASE_TIMINGS) and the peak memory of the Wine process (/usr/bin/time -v);
- the XML engine floor: the engine alone on the same credit transfer document, saved once by
  a preparation run (SEPA_SAVE_INTERMEDIATE);
- the peer: the sepa package on Node.js writing the same transactions.
Times are the best of the rounds; peak memory is the highest of the rounds. Then the cost of
starting: bin/tavrin-host --auto on one payment, as a user types it, in a Wine prefix of the
benchmark's own, first with nothing of Wine running and then repeated. Last, perf profiles of
the whole run, the floor and the peer at 50,000 payments, and the model of the i686 build's
memory.
"""

import argparse
import datetime
import json
import os
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

import memory_model
import perf_samples
import report
import step_times
import targets
import whole_profile

FILE_STEPS = ["stylesheet", "document", "transformation", "save", "release"]
FLOOR_STEPS = ["stylesheet", "load", "transformation", "save", "release"]
PEER_STEPS = ["parse", "build", "serialise", "save"]
# Lines the host runner may write to the same step file for its own steps.
RUNNER_STEP_PREFIX = "runner-"
PROFILED_SIZE = 50000
START_BATCH = ("clean", 1)
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
    """Lines "step seconds [working-set-MiB peak-MiB]"; the seconds of a repeated step add up.
    Returns the component's steps and, apart, the runner's own ("runner-NAME"), in the order
    they were written."""
    steps, runner = {}, {}
    for line in text.splitlines():
        fields = line.split()
        if len(fields) < 2:
            continue
        if fields[0].startswith(RUNNER_STEP_PREFIX):
            name = fields[0][len(RUNNER_STEP_PREFIX):]
            runner[name] = runner.get(name, 0.0) + float(fields[1])
            continue
        steps[fields[0]] = steps.get(fields[0], 0.0) + float(fields[1])
        if len(fields) >= 4:
            steps["peak MiB"] = max(steps.get("peak MiB", 0.0), float(fields[3]))
            steps["MiB after " + fields[0]] = float(fields[2])
    return steps, runner


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

    def name(self, kind, shape, size, suffix):
        return self.work / ("%s-%s-%d%s" % (kind, shape, size, suffix))

    def batch(self, shape, size):
        return self.name("batch", shape, size, ".csv")

    def intermediate(self, shape, size):
        return self.name("intermediate", shape, size, ".xml")

    def payment_file(self, shape, size):
        files = list(self.name("out", shape, size, "").glob("BOV*PAIN001.xml"))
        return files[0] if len(files) == 1 else None

    def component_command(self, shape, size):
        out = self.name("out", shape, size, "")
        shutil.rmtree(out, ignore_errors=True)
        out.mkdir(parents=True)
        return [self.wine, str(self.runner), "--auto", "--payment-dir", windows_path(out), "--report",
                windows_path(self.name("report", shape, size, ".json")), windows_path(self.batch(shape, size))]

    def check_payment_file(self, shape, size):
        path = self.payment_file(shape, size)
        if not path:
            raise SystemExit("the payment run of %d %s payments left no single file" % (size, shape))
        found, declared = count_transactions(path)
        if found != size or not declared or int(declared.group(1)) != size:
            raise SystemExit("the file of %d %s payments holds %d transactions" % (size, shape, found))
        return path

    def run_component(self, shape, size, save_intermediate=False):
        steps_file = self.name("steps", shape, size, ".txt")
        steps_file.unlink(missing_ok=True)
        env = dict(os.environ, SEPA_PHASE_TIMINGS=windows_path(steps_file))
        if save_intermediate:
            env["SEPA_SAVE_INTERMEDIATE"] = windows_path(self.intermediate(shape, size))
        with step_times.StepWatcher(steps_file) as watch:
            status, wall, rss, _ = timed(self.component_command(shape, size), env=env)
        if status != 0:
            raise SystemExit("the payment run of %d %s payments ended with status %d" % (size, shape, status))
        path = self.check_payment_file(shape, size)
        steps, runner = read_steps(steps_file.read_text())
        return {"wall": wall, "rss": rss, "steps": steps, "runner_steps": runner, "file_bytes": path.stat().st_size,
                "windows": step_times.durations(watch.windows())}

    def run_wrapper(self, env):
        """One payment through bin/tavrin-host, wrapper and Wine session included."""
        out = self.work / "out-wrapper"
        shutil.rmtree(out, ignore_errors=True)
        out.mkdir(parents=True)
        result = self.work / "report-wrapper.json"
        result.unlink(missing_ok=True)
        status, wall, _, _ = timed([str(REPOSITORY / "bin" / "tavrin-host"), "--auto", "--payment-dir", str(out),
                                    "--report", str(result), str(self.batch(*START_BATCH))], env=env)
        if status != 0 or json.loads(result.read_text())["status"] != 0 or len(list(out.glob("BOV*PAIN001.xml"))) != 1:
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
                "repeated_median": sorted(repeated)[len(repeated) // 2], "repeated_runs": len(repeated)}

    def floor_command(self, shape, size, output):
        return [self.wine, str(self.floor), windows_path(self.intermediate(shape, size)), windows_path(output)]

    def run_floor(self, shape, size):
        output = self.name("floor", shape, size, ".xml")
        status, wall, rss, text = timed(self.floor_command(shape, size, output))
        if status != 0:
            raise SystemExit("the engine floor on %d %s payments failed" % (size, shape))
        found, _ = count_transactions(output)
        if found != size:
            raise SystemExit("the engine floor wrote %d of %d transactions" % (found, size))
        return {"wall": wall, "rss": rss, "steps": read_steps(text)[0]}

    def peer_command(self, shape, size, output):
        return ["node", str(self.peer / "pain001.mjs"), str(self.batch(shape, size)), str(output)]

    def run_peer(self, shape, size):
        output = self.name("peer", shape, size, ".xml")
        status, wall, rss, text = timed(self.peer_command(shape, size, output))
        if status != 0:
            raise SystemExit("the peer failed on %d %s payments" % (size, shape))
        found, _ = count_transactions(output)
        if found != size:
            raise SystemExit("the peer wrote %d of %d transactions" % (found, size))
        return {"wall": wall, "rss": rss, "steps": json.loads(text)["phases"]}

    def profiles(self, shapes, size):
        """perf profiles at one size: the whole run and the peer per shape, the floor on the
        clean batch; None when perf cannot sample here."""
        if not perf_samples.perf_usable():
            return None
        server = whole_profile.wine_server_pid(os.environ["WINEPREFIX"])
        profiled = {"size": size, "run": {}, "peer": {}}
        for shape in shapes:
            print("profiling the whole run and the peer on %d %s payments" % (size, shape), flush=True)
            steps_file = self.name("steps-profiled", shape, size, ".txt")
            steps_file.unlink(missing_ok=True)
            env = dict(os.environ, SEPA_PHASE_TIMINGS=windows_path(steps_file))
            profiled["run"][shape] = whole_profile.profile(
                self.component_command(shape, size), self.name("run", shape, size, ".perf"), env, self.build,
                whole_profile.RUN_MODULES, server, steps_file)
            self.check_payment_file(shape, size)
            profiled["peer"][shape] = whole_profile.profile(
                self.peer_command(shape, size, self.name("peer-profiled", shape, size, ".xml")),
                self.name("peer", shape, size, ".perf"), dict(os.environ))
        print("profiling the engine floor on %d clean payments" % size, flush=True)
        profiled["floor"] = whole_profile.profile(
            self.floor_command("clean", size, self.name("floor-profiled", "clean", size, ".xml")),
            self.name("floor", "clean", size, ".perf"), dict(os.environ), self.build, whole_profile.FLOOR_MODULES,
            server)
        return profiled


def best(runs, key):
    return min(run[key] for run in runs)


def best_steps(runs, names):
    return {name: min(run["steps"].get(name, 0.0) for run in runs) for name in names}


def best_windows(runs):
    """The windows of the run (step_times), best of the rounds that saw them all."""
    seen = [run["windows"] for run in runs if run["windows"]]
    return {name: min(w[name] for w in seen) for name in step_times.WINDOWS} if seen else {}


def best_runner_steps(runs):
    """The runner's own steps, best of the rounds, in the order the runner wrote them."""
    names = []
    for run in runs:
        names.extend(name for name in run["runner_steps"] if name not in names)
    return {name: min(run["runner_steps"].get(name, float("inf")) for run in runs) for name in names}


def summarise(shape, size, component, floor, peer):
    steps = best_steps(component, ["validation"] + FILE_STEPS)
    steps["MiB after document"] = max(run["steps"].get("MiB after document", 0.0) for run in component)
    floor_steps = best_steps(floor, FLOOR_STEPS)
    file_steps = sum(steps[name] for name in FILE_STEPS)
    return {
        "shape": shape,
        "size": size,
        "wall": best(component, "wall"),
        "rss": max(run["rss"] for run in component),
        "steps": steps,
        "runner_steps": best_runner_steps(component),
        "windows": best_windows(component),
        "file_steps": file_steps,
        "all_steps": file_steps + steps["validation"],
        "floor_steps": floor_steps,
        "floor": sum(floor_steps.values()),
        "floor_wall": best(floor, "wall"),
        "floor_rss": max(run["rss"] for run in floor),
        "peer_wall": best(peer, "wall"),
        "peer_rss": max(run["rss"] for run in peer),
        "peer_steps": best_steps(peer, PEER_STEPS),
        "file_bytes": component[0]["file_bytes"],
    }


def memory(bench, results, startup, shapes):
    """Per shape, the model of both trees per payment (from the runs of 10,000 payments, else
    the largest) and the i686 estimate for 99,999 payments."""
    estimates = {}
    for shape in shapes:
        runs = sorted((r for r in results if r["shape"] == shape), key=lambda r: r["size"])
        if not runs:
            continue
        modelled = next((r for r in runs if r["size"] == targets.SMALL), runs[-1])
        payment_file = bench.payment_file(shape, modelled["size"])
        model = memory_model.bytes_per_payment(bench.intermediate(shape, modelled["size"]), payment_file,
                                               modelled["size"])
        # What each further payment adds: between 10,000 and the largest run, as in the targets,
        # else between the two largest runs, else over the one-payment run.
        largest = runs[-1]
        smaller = [r for r in runs[:-1] if r["size"] == targets.SMALL] or runs[-2:-1]
        if smaller:
            growth = (largest["rss"] - smaller[0]["rss"]) * 2**20 / (largest["size"] - smaller[0]["size"])
            growth_between = (smaller[0]["size"], largest["size"])
        else:
            growth = (largest["rss"] - startup["rss"]) * 2**20 / (largest["size"] - 1)
            growth_between = (1, largest["size"])
        estimates[shape] = {"model": model, "modelled_size": modelled["size"], "growth": growth,
                            "growth_between": growth_between,
                            "i686": memory_model.i686_estimate(model, growth, startup["rss"], targets.LARGE)}
    return estimates


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--peer", required=True)
    parser.add_argument("--doc", required=True)
    parser.add_argument("--sizes", type=int, nargs="+", default=[1000, 10000, 50000, 99999])
    parser.add_argument("--shapes", nargs="+", default=["clean", "typed"], choices=["clean", "typed"])
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--began", type=float, default=time.time(),
                        help="when the benchmark began (seconds since the epoch), build included")
    parser.add_argument("--from-results", help="write the report again from a run's results.json")
    args = parser.parse_args()

    if args.from_results:
        figures = json.loads(Path(args.from_results).read_text())
    else:
        figures = measure(Bench(args), args)
        (Path(args.work) / "results.json").write_text(json.dumps(figures, indent=1))
    text = render(figures)
    print()
    print(text)
    Path(args.doc).write_text(text)


def measure(bench, args):
    sizes, shapes = args.sizes, args.shapes
    runs = [START_BATCH] + [(shape, size) for size in sizes for shape in shapes]
    loads = [report.load_average()]
    started = datetime.datetime.now()

    # Preparation: each batch once, saving its credit transfer document for the floor; this also
    # warms the file cache. The one-payment batch measures what starting Wine costs.
    print("preparing: load %s" % loads[0], flush=True)
    for shape, size in runs:
        bench.run_component(shape, size, save_intermediate=True)

    component = {run: [] for run in runs}
    floor = {run: [] for run in runs}
    peer = {run: [] for run in runs}
    for round_number in range(1, args.rounds + 1):
        for run in runs:
            component[run].append(bench.run_component(*run))
            peer[run].append(bench.run_peer(*run))
            if run != START_BATCH:
                floor[run].append(bench.run_floor(*run))
            print("round %d, %6d %s payments: run %.2f s, floor %s, peer %.2f s" % (
                round_number, run[1], run[0], component[run][-1]["wall"],
                "%.2f s" % floor[run][-1]["wall"] if floor[run] else "-", peer[run][-1]["wall"]), flush=True)
        loads.append(report.load_average())

    results = [summarise(shape, size, component[(shape, size)], floor[(shape, size)], peer[(shape, size)])
               for size in sizes for shape in shapes]
    start = component[START_BATCH]
    startup = {"wall": best(start, "wall"), "rss": max(run["rss"] for run in start),
               "peer_wall": best(peer[START_BATCH], "wall"), "peer_rss": max(run["rss"] for run in peer[START_BATCH]),
               "windows": best_windows(start)}

    print("starting: one payment through bin/tavrin-host, first and repeated", flush=True)
    startup.update(bench.starts(args.rounds))

    profiled = bench.profiles(shapes, max([s for s in sizes if s <= PROFILED_SIZE] or sizes[:1]))
    return {"results": results, "startup": startup, "shapes": shapes, "rounds": args.rounds, "loads": loads,
            "started": started.isoformat(timespec="minutes"), "versions": report.tool_versions(bench.wine),
            "profiles": profiled, "memory": memory(bench, results, startup, shapes),
            "duration": time.time() - args.began}


def render(figures):
    verdicts = targets.evaluate(figures["results"], figures["startup"], figures["shapes"])
    return report.write(figures["results"], figures["startup"], figures["shapes"], figures["rounds"],
                        figures["loads"], datetime.datetime.fromisoformat(figures["started"]), figures["versions"],
                        figures["profiles"], figures["memory"], verdicts, figures["duration"])


if __name__ == "__main__":
    main()
