"""Profiles of whole runs at one size: the host runner's payment run under Wine, the engine
floor, and the peer. Beside the samples of the program and the processes it starts, the Wine
server's CPU time over the run is read from /proc: it is a process of its own, started before
the run, which perf does not follow."""

import contextlib
import os
from pathlib import Path

import perf_samples
import project_modules
import step_times
import time_categories

RUN_MODULES = ["tavrin-host.exe", "TavrinBankOfVelmoraSEPA.dll", "TavrinHostSettings.dll"]
FLOOR_MODULES = ["sepa_xml_engine_floor.exe"]


def wine_server_pid(prefix):
    """The Wine server of prefix: its working folder is named after the prefix's device and inode."""
    try:
        info = os.stat(prefix)
    except OSError:
        return None
    suffix = "/server-%x-%x" % (info.st_dev, info.st_ino)
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            if entry.joinpath("comm").read_text().startswith("wineserver") and \
                    os.readlink(entry / "cwd").endswith(suffix):
                return int(entry.name)
        except OSError:
            continue
    return None


def cpu_seconds(pid):
    if pid is None:
        return None
    try:
        # Fields after the command's name, which is in parentheses and may hold blanks.
        fields = Path("/proc/%d/stat" % pid).read_text().rsplit(")", 1)[1].split()
    except OSError:
        return None
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def profile(command, data_file, env, build=None, modules=(), server_pid=None, steps_file=None):
    """{categories: {name: CPU s}, cpu: s, top: [(s, dso, function)], others: [process names],
    server: Wine server CPU s or None, placement: {module: (ImageBase, loaded at)}, windows:
    {window: {wall, cpu, categories}}}. The program's standard error is kept beside data_file;
    with the project's modules, Wine traces there where it loads each DLL (+loaddll). With the
    run's step file, the samples are also split into the run's windows (step_times)."""
    trace_file = Path(str(data_file) + ".stderr.txt")
    if modules:
        env = dict(env, WINEDEBUG="-all,+loaddll")
    server_before = cpu_seconds(server_pid)
    watch = step_times.StepWatcher(steps_file) if steps_file else contextlib.nullcontext()
    with open(trace_file, "w") as trace, watch:
        perf_samples.record(command, data_file, env=env, stderr=trace)
    server_after = cpu_seconds(server_pid)
    project = None
    if modules:
        bases = project_modules.loaded_bases(trace_file.read_text(errors="replace"))
        project = project_modules.ProjectModules(build, modules, bases)
    resolve = project.resolve if project else None
    samples = perf_samples.read(data_file, resolve)
    main = perf_samples.main_process(samples)
    categories, cpu, top = time_categories.summarise(samples, main, project)
    windows = {}
    for name, between in (watch.windows() if steps_file else {}).items():
        part, part_cpu, _ = time_categories.summarise(perf_samples.read(data_file, resolve, between), main, project)
        windows[name] = {"wall": between[1] - between[0], "cpu": part_cpu, "categories": part}
    return {"categories": categories, "cpu": cpu, "top": top,
            "others": time_categories.other_processes(samples, main),
            "server": server_after - server_before if server_before is not None and server_after is not None else None,
            "placement": project.placement if project else {}, "windows": windows}
