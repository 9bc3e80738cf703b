#!/usr/bin/python3
"""Measures Quillon against its performance budgets and prints one line per
budget: what was measured, the budget, PASS or FAIL.

Run through bench/run, which builds the programs first. Every ratio compares
two measurements taken in this one run on this one machine, so the ratios
hold across machines where absolute times do not.

  budgets.py BUILD_DIR [--group NAME]...

--group measures only the named groups of budgets (scan, build, installer,
project, interchange, gui, resident, memory), so that work on one part can be
measured without the rest; the inputs of the other groups are not made.

Exit status 0 when every budget passes, 1 when one fails, 2 when a
measurement could not be made.
"""

import json
import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass

# Runs of each external command; the median counts.
COMMAND_RUNS = 7
# Repetitions of each benchmark; the median counts.
BENCHMARK_REPETITIONS = 5

PEFILE_RESOURCES = (
    "import sys, pefile\n"
    "pe = pefile.PE(sys.argv[1], fast_load=True)\n"
    "pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY['IMAGE_DIRECTORY_ENTRY_RESOURCE']])\n"
)


SOURCE_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


class MeasurementError(Exception):
    pass


@dataclass
class Line:
    budget: str
    measured: str
    limit: str
    passed: bool
    detail: str = ""


def run_quietly(command):
    done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=False)
    if done.returncode != 0:
        raise MeasurementError(f"{' '.join(command)} failed: {done.stderr.decode(errors='replace').strip()}")


def median_seconds(command, runs=COMMAND_RUNS):
    """Median wall-clock time of running `command` as its own process."""
    run_quietly(command)  # warm the page cache and the dynamic loader
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        run_quietly(command)
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def median_seconds_together(commands):
    """Median wall-clock time of each of `commands`, run in turn round after
    round: the machine's speed drifts by half within minutes, and commands
    timed one after the other would each see a different machine. Commands
    of a few milliseconds get more rounds, so that their medians settle."""
    def timed(command):
        start = time.perf_counter()
        run_quietly(command)
        return time.perf_counter() - start

    slowest = max(timed(command) for command in commands)  # also warms the page cache
    rounds = COMMAND_RUNS if slowest > 0.1 else 5 * COMMAND_RUNS
    times = [[] for _ in commands]
    for _ in range(rounds):
        for index, command in enumerate(commands):
            times[index].append(timed(command))
    return [statistics.median(each) for each in times]


def peak_rss_mib(command):
    """Peak resident size of `command`, from the kernel's accounting of it."""
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(process.pid, 0)
    if os.waitstatus_to_exitcode(status) != 0:
        raise MeasurementError(f"{' '.join(command)} failed: {process.stderr.read().decode(errors='replace')}")
    return usage.ru_maxrss / 1024.0  # KiB on Linux


def benchmark_medians(binary, names):
    """Median real time in milliseconds of each benchmark in `names`."""
    pattern = "^(" + "|".join(names) + ")$"
    done = subprocess.run(
        [binary, f"--benchmark_filter={pattern}", f"--benchmark_repetitions={BENCHMARK_REPETITIONS}",
         "--benchmark_report_aggregates_only=true", "--benchmark_format=json"],
        capture_output=True, check=False)
    if done.returncode != 0:
        raise MeasurementError(f"{binary} failed: {done.stderr.decode(errors='replace').strip()}")
    try:
        report = json.loads(done.stdout)
    except json.JSONDecodeError as error:
        raise MeasurementError(f"{binary} printed no report: {done.stderr.decode(errors='replace').strip()}") from error
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
    medians = {}
    for entry in report["benchmarks"]:
        if entry.get("aggregate_name") != "median":
            continue
        if entry.get("error_occurred"):
            raise MeasurementError(f"{entry['run_name']}: {entry.get('error_message')}")
        medians[entry["run_name"]] = entry["real_time"] * scale[entry["time_unit"]]
    missing = [name for name in names if name not in medians]
    if missing:
        raise MeasurementError(f"{binary} did not run {', '.join(missing)}")
    return medians


def machine_line():
    model = "unknown CPU"
    try:
        with open("/proc/cpuinfo", encoding="utf-8") as cpuinfo:
            for line in cpuinfo:
                if line.startswith("model name"):
                    model = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    return f"{model}, {os.cpu_count()} cores, Linux {platform.release()}"


def windres_program():
    for name in ("x86_64-w64-mingw32-windres", "i686-w64-mingw32-windres", "windres"):
        if shutil.which(name):
            return name
    raise MeasurementError("windres (binutils-mingw-w64) is not installed")


def scan_lines(build, module, label, windres_factor=1.0, pefile_factor=20.0):
    """The scan of `module` against pefile and windres reading the same file;
    no pefile line when `pefile_factor` is None."""
    cli = os.path.join(build, "cli", "quillon-cli")
    rc_file = os.path.join(tempfile.gettempdir(), f"quillon-budgets-{os.getpid()}.rc")
    try:
        ours, pefile, windres = median_seconds_together([
            [cli, "scan", "--summary", module],
            ["/usr/bin/python3", "-c", PEFILE_RESOURCES, module],
            [windres_program(), "-i", module, "-O", "rc", "-o", rc_file],
        ])
    finally:
        if os.path.exists(rc_file):
            os.remove(rc_file)
    detail = f"quillon-cli scan {ours * 1e3:.1f} ms, pefile {pefile * 1e3:.1f} ms, windres {windres * 1e3:.1f} ms"
    lines = []
    if pefile_factor is not None:
        lines.append(Line(f"module scan vs python3 -c pefile, {label}", f"{pefile / ours:.1f}x faster",
                          f">= {pefile_factor:g}x", pefile / ours >= pefile_factor, detail))
    if windres_factor > 1:
        windres_line = Line(f"module scan vs windres -O rc, {label}", f"{windres / ours:.1f}x faster",
                            f">= {windres_factor:g}x", windres / ours >= windres_factor)
    else:
        windres_line = Line(f"module scan vs windres -O rc, {label}", f"{windres / ours:.1f}x faster", "> 1x",
                            windres > ours)
    if pefile_factor is None:
        windres_line.detail = detail
    lines.append(windres_line)
    return lines


def timed_seconds(commands, runs, cleanup):
    """Median wall-clock time of running `commands` one after the other,
    with `cleanup` run (untimed) before each run."""
    times = []
    for _ in range(runs):
        cleanup()
        start = time.perf_counter()
        for command in commands:
            run_quietly(command)
        times.append(time.perf_counter() - start)
    cleanup()
    return statistics.median(times)


INSTALLER_RUNS = 3


def installer_lines(build):
    """Build Target of a generated 2 GiB installer (100 KB of resources, the
    rest code and overlay, holes where the file system has them) against
    `cp` of it followed by `sync` of the copy, and the build's peak resident
    size."""
    cli = os.path.join(build, "cli", "quillon-cli")
    with tempfile.TemporaryDirectory(prefix="quillon-installer-") as folder:
        module = os.path.join(folder, "setup.exe")
        run_quietly([os.path.join(build, "bench", "quillon_bench_inputs"), "--installer", module])
        project = os.path.join(folder, "setup.prj")
        run_quietly([cli, "new", os.path.join(folder, "setup"), "--module", module, "--translator", "Ann",
                     "--language", "German", "--dictionary", os.path.join(folder, "setup.dic")])
        target, copy = os.path.join(folder, "setup-de.exe"), os.path.join(folder, "copy.exe")

        def remove_outputs():
            for path in (target, copy):
                if os.path.exists(path):
                    os.remove(path)

        built = timed_seconds([[cli, "build", project, "--target", target]], INSTALLER_RUNS, remove_outputs)
        copied = timed_seconds([["cp", module, copy], ["sync", copy]], INSTALLER_RUNS, remove_outputs)
        peak = peak_rss_mib([cli, "build", project, "--target", target])
        remove_outputs()
    ratio = built / copied
    return [
        Line("target build of a 2 GiB installer vs cp + sync", f"{ratio:.2f}x the copy", "<= 1.5x", ratio <= 1.5,
             f"build {built * 1e3:.0f} ms, cp + sync {copied * 1e3:.0f} ms"),
        Line("peak resident size of that build", f"{peak:.0f} MiB", "< 64 MiB", peak < 64),
    ]


def build_line(build):
    """Build Target of the 15 MB module against `cp` of it followed by `sync`
    of the copy, as the installer's line: a build ends with its target on
    the disk, an unflushed copy only in the page cache. The unflushed copy
    is shown beside it."""
    names = {kind: f"{kind}/ui_and_data/real_time" for kind in ("BM_BuildTarget", "BM_CopyAndFlush", "BM_CopyFile")}
    times = benchmark_medians(os.path.join(build, "bench", "quillon_bench_build"), list(names.values()))
    built, flushed, copied = (times[names[kind]] for kind in ("BM_BuildTarget", "BM_CopyAndFlush", "BM_CopyFile"))
    ratio = built / flushed
    return Line("target build of a 15 MB module vs cp + sync", f"{ratio:.2f}x the copy", "< 3x", ratio < 3,
                f"build {built:.1f} ms, cp + sync {flushed:.1f} ms; "
                f"a copy left unflushed {copied:.1f} ms ({built / copied:.1f}x)")


def project_lines(build):
    save, load = "BM_ProjectSave/dictionary:1/real_time", "BM_ProjectOpen/dictionary:1/real_time"
    marked, replace = "BM_ProjectSaveAfterUpdate/real_time", "BM_ReplacePlan/real_time"
    times = benchmark_medians(os.path.join(build, "bench", "quillon_bench_project"), [save, load, marked, replace])
    translate = benchmark_medians(os.path.join(build, "bench", "quillon_bench_translate"), ["BM_AutoTranslate"])
    translated = translate["BM_AutoTranslate"]
    return [
        Line("save 100,000-item project (+ 200,000-entry .dic)", f"{times[save]:.1f} ms", "< 150 ms", times[save] < 150),
        Line("open 100,000-item project (+ 200,000-entry .dic)", f"{times[load]:.1f} ms", "< 150 ms", times[load] < 150),
        Line("save it after an update marked a quarter of it changed", f"{times[marked]:.1f} ms", "< 300 ms",
             times[marked] < 300),
        Line("plan a Replace of 'e' across it, checks included", f"{times[replace]:.1f} ms", "< 1000 ms",
             times[replace] < 1000),
        Line("auto-translate it with a 200,000-entry dictionary", f"{translated:.1f} ms", "< 150 ms", translated < 150),
    ]


def interchange_lines(build):
    names = {f"{kind}/po:{arg}/real_time": (kind, arg) for kind in ("BM_Export", "BM_Import") for arg in (0, 1)}
    times = benchmark_medians(os.path.join(build, "bench", "quillon_bench_interchange"), list(names))
    lines = []
    for name, (kind, arg) in names.items():
        what = ("export it to " if kind == "BM_Export" else "import into it from ") + ("XLIFF" if arg == 0 else "PO")
        lines.append(Line(what, f"{times[name]:.1f} ms", "< 1000 ms", times[name] < 1000))
    return lines


def gui_lines(build):
    binary = os.path.join(build, "bench", "quillon_bench_gui")
    if not os.path.exists(binary):
        raise MeasurementError("the GUI benchmark was not built")
    opened_name = "BM_GuiOpenProject/real_time"
    filter_names = ["BM_GuiFilterEveryItem/plain/real_time", "BM_GuiFilterEveryItem/pattern/real_time"]
    times = benchmark_medians(binary, [opened_name] + filter_names)
    opened = times[opened_name]
    filtered = max(times[name] for name in filter_names)
    detail = f"plain text {times[filter_names[0]]:.0f} ms, regular expression {times[filter_names[1]]:.0f} ms"
    return [
        Line("open it in the GUI: tree and first list page painted", f"{opened:.1f} ms", "< 150 ms", opened < 150),
        Line("filter its list of every item in the GUI, painted", f"{filtered:.0f} ms", "< 250 ms", filtered < 250,
             detail),
    ]


def memory_lines_of_cli(build, inputs):
    cli = os.path.join(build, "cli", "quillon-cli")
    project = os.path.join(inputs, "app.prj")
    peaks = {
        "show": peak_rss_mib([cli, "show", project]),
        "translate": peak_rss_mib([cli, "translate", project]),
        "build": peak_rss_mib([cli, "build", project, "--target", os.path.join(inputs, "app.de.dll")]),
    }
    command, peak = max(peaks.items(), key=lambda item: item[1])
    detail = ", ".join(f"{name} {value:.0f} MiB" for name, value in peaks.items())
    return [
        Line("peak resident size of quillon-cli, 100,000-item project", f"{peak:.0f} MiB ({command})", "< 150 MiB",
             peak < 150, detail),
        Line("peak resident size of quillon-cli show of it", f"{peaks['show']:.0f} MiB", "< 80 MiB",
             peaks["show"] < 80),
    ]


TM_UNITS = int(os.environ.get("QUILLON_BENCH_TM_UNITS", "1000000"))


def memory_benchmark_counters(binary, memory):
    """The counters of the look-up benchmarks on the memory at `memory`."""
    environment = dict(os.environ, QUILLON_BENCH_TM_MEMORY=memory, QUILLON_BENCH_TM_UNITS=str(TM_UNITS))
    done = subprocess.run([binary, "--benchmark_filter=^(BM_TmLookup|BM_TmScoreAll)/", "--benchmark_format=json"],
                          capture_output=True, check=False, env=environment)
    if done.returncode != 0:
        raise MeasurementError(f"{binary} failed: {done.stderr.decode(errors='replace').strip()}")
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
    results = {}
    for entry in json.loads(done.stdout)["benchmarks"]:
        if entry.get("error_occurred"):
            raise MeasurementError(f"{entry['run_name']}: {entry.get('error_message')}")
        entry["real_ms"] = entry["real_time"] * scale[entry["time_unit"]]
        results[entry["run_name"].split("/")[0]] = entry
    return results


def memory_lines(build):
    """Importing a generated TMX with quillon-cli (time and peak size of the
    process), then fuzzy look-ups in that memory against scoring every unit."""
    cli = os.path.join(build, "cli", "quillon-cli")
    binary = os.path.join(build, "bench", "quillon_bench_memory")
    label = f"{TM_UNITS:,}-unit"
    with tempfile.TemporaryDirectory(prefix="quillon-memory-") as folder:
        tmx, memory = os.path.join(folder, "memory.tmx"), os.path.join(folder, "memory.db")
        run_quietly([binary, "--tmx", tmx, str(TM_UNITS)])
        start = time.perf_counter()
        peak = peak_rss_mib([cli, "tm", "import", tmx, "--memory", memory])
        imported = time.perf_counter() - start
        results = memory_benchmark_counters(binary, memory)
    lookup, everything = results["BM_TmLookup"], results["BM_TmScoreAll"]
    median, p99 = lookup["median_ms"], lookup["p99_ms"]
    ratio = everything["real_ms"] / median
    return [
        Line(f"import a {label} TMX (quillon-cli tm import)", f"{imported:.1f} s", "< 20 s", imported < 20),
        Line("peak resident size of that import", f"{peak:.0f} MiB", "< 200 MiB", peak < 200),
        Line(f"fuzzy look-up in {label} memory, median", f"{median:.1f} ms", "< 20 ms", median < 20),
        Line(f"fuzzy look-up in {label} memory, 99th percentile", f"{p99:.1f} ms", "< 100 ms", p99 < 100),
        Line("fuzzy look-up vs scoring every unit", f"{ratio:.0f}x faster", ">= 50x", ratio >= 50,
             f"look-up median {median:.2f} ms (found a match for {lookup['found_%']:.0f}% of the queries), "
             f"scoring every unit {everything['real_ms']:.0f} ms"),
    ]


# The groups of budgets, in the order printed: each measures from the build
# folder and the generated inputs folder.
GROUPS = {
    "scan": lambda build, inputs: (
        scan_lines(build, os.path.join(SOURCE_ROOT, "samples", "quillpad.exe"), "sample module")
        + scan_lines(build, os.path.join(inputs, "large-ui.dll"), "61,200-item module",
                     windres_factor=2, pefile_factor=10)
        + scan_lines(build, os.path.join(inputs, "engine.dll"), "100 MB module, 70 KB of resources",
                     windres_factor=2, pefile_factor=None)),
    "build": lambda build, inputs: [build_line(build)],
    "installer": lambda build, inputs: installer_lines(build),
    "project": lambda build, inputs: project_lines(build),
    "interchange": lambda build, inputs: interchange_lines(build),
    "gui": lambda build, inputs: gui_lines(build),
    "resident": lambda build, inputs: memory_lines_of_cli(build, inputs),
    "memory": lambda build, inputs: memory_lines(build),
}
# The groups that read the generated inputs folder.
NEEDS_INPUTS = {"scan", "resident"}


def parse_arguments(arguments):
    """The build folder and the groups to measure, or None when the
    arguments are not understood."""
    build, groups = None, []
    while arguments:
        argument = arguments.pop(0)
        if argument == "--group" and arguments and arguments[0] in GROUPS:
            groups.append(arguments.pop(0))
        elif not argument.startswith("-") and build is None:
            build = argument
        else:
            return None
    if build is None:
        return None
    return os.path.abspath(build), [name for name in GROUPS if not groups or name in groups]


def main():
    parsed = parse_arguments(sys.argv[1:])
    if parsed is None:
        print(__doc__, file=sys.stderr)
        print(f"groups: {', '.join(GROUPS)}", file=sys.stderr)
        return 2
    build, groups = parsed
    lines = []
    with tempfile.TemporaryDirectory(prefix="quillon-budgets-") as inputs:
        try:
            if NEEDS_INPUTS.intersection(groups):
                run_quietly([os.path.join(build, "bench", "quillon_bench_inputs"), inputs])
            for name in groups:
                lines += GROUPS[name](build, inputs)
        except MeasurementError as error:
            print(f"bench/run: {error}", file=sys.stderr)
            return 2

    print(f"Quillon budgets, {time.strftime('%Y-%m-%d')}, {machine_line()}")
    width = max(len(line.budget) for line in lines)
    for line in lines:
        print(f"{line.budget:<{width}}  {line.measured:>22}  {line.limit:>10}  {'PASS' if line.passed else 'FAIL'}")
    for line in lines:
        if line.detail:
            print(f"  {line.budget}: {line.detail}")
    return 0 if all(line.passed for line in lines) else 1

if __name__ == "__main__":
    sys.exit(main())
