#!/usr/bin/env python3
"""Whole-process timings of the programs beside the cost of writing their bytes.

    bench/whole_runs.py BIN_FOLDER [--runs N] [--work FOLDER] [--generator PROGRAM]

BIN_FOLDER holds scenario_build and scenario_tool (a release build's bin/); the long line's
descriptions come from write_long_scenario, in BIN_FOLDER unless --generator names another (so
that an older build without it is measured on the very same descriptions).
Each figure is the median of N runs (wall time, and the peak resident memory of the process),
measured side by side in one run of this script so that the ratios hold on a shared machine:

  embedded run        scenario_build in a fresh folder holding only a copy of itself
  copy of its files   cp of the six files it leaves into a fresh folder
  long compile        scenario_tool compile of the generated 1,000,000 m line into a fresh folder
  cat of its outputs  cat of the three files it writes into one file
  decompile           scenario_tool decompile of the embedded scenario's three files

The machine's load average is printed with the table: on a busy machine every figure grows, the
ratios much less.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

KEPT = [
    "MorvellaC_DrasconaX_5521_note.txt",
    "MorvellaC_DrasconaX_5521_rallentamenti.txt",
    "MorvellaC_DrasconaX_5521_scheda_treno.txt",
    "MorvellaC_DrasconaX_linea.dat",
    "MorvellaC_DrasconaX_5521.sim",
    "MorvellaC_DrasconaX_5521.dat",
]
BINARY = KEPT[3:]


def timed(argv, cwd=None, stdout=subprocess.DEVNULL, memory=False):
    """Runs argv to its end; returns (seconds, peak resident memory in KiB, 0 unless `memory`).

    The memory is measured by /usr/bin/time, whose child starts from a small process: the child of
    this script would count the Python interpreter it was forked from until its exec. The time is
    measured without it, so that its start-up is not counted."""
    start = time.perf_counter()
    process = subprocess.Popen(argv, cwd=cwd, stdout=stdout, stderr=subprocess.DEVNULL)
    _, status, _ = os.wait4(process.pid, 0)
    seconds = time.perf_counter() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode not in (0, 1):
        sys.exit(f"whole_runs: {' '.join(argv)} ended with status {process.returncode}")
    return seconds, peak_memory(argv, cwd, stdout) if memory else 0


def peak_memory(argv, cwd, stdout):
    """The peak resident memory of one more run of argv, in KiB (0 without /usr/bin/time)."""
    if not os.path.exists("/usr/bin/time"):
        return 0
    with tempfile.NamedTemporaryFile("r") as report:
        subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report.name] + argv, cwd=cwd, stdout=stdout,
                       stderr=subprocess.DEVNULL)
        return int(report.read().split()[-1])


def fresh_folder(work, name):
    path = os.path.join(work, name)
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path


class Pair:
    """A program run and the plain copy it is measured against, alternated run by run."""

    def __init__(self, label, baseline_label):
        self.label, self.baseline_label = label, baseline_label
        self.times, self.memory, self.baseline_times = [], [], []

    def row(self):
        t = statistics.median(self.times)
        b = statistics.median(self.baseline_times)
        mib = statistics.median(self.memory) / 1024
        return (f"{self.label:<28}{t * 1000:9.1f} ms {mib:9.1f} MiB   "
                f"{self.baseline_label:<24}{b * 1000:8.1f} ms   ratio {t / b:5.2f}")


def embedded(bin_folder, work, runs):
    pair = Pair("embedded run", "cp of its 6 files")
    reference = fresh_folder(work, "reference")
    shutil.copy2(os.path.join(bin_folder, "scenario_build"), reference)
    timed([os.path.join(reference, "scenario_build")], cwd=reference)
    for _ in range(runs):
        folder = fresh_folder(work, "embedded")
        program = os.path.join(folder, "scenario_build")
        shutil.copy2(os.path.join(bin_folder, "scenario_build"), program)
        seconds, kib = timed([program], cwd=folder, memory=True)
        pair.times.append(seconds)
        pair.memory.append(kib)
        target = fresh_folder(work, "copy")
        seconds, _ = timed(["cp"] + [os.path.join(reference, name) for name in KEPT] + [target])
        pair.baseline_times.append(seconds)
    return pair, reference


def long_compile(bin_folder, work, runs, generator):
    pair = Pair("1,000,000 m compile", "cat of its outputs")
    sources = fresh_folder(work, "long")
    timed([generator, sources])
    tool = os.path.join(bin_folder, "scenario_tool")
    for _ in range(runs):
        out = fresh_folder(work, "long_out")
        seconds, kib = timed([tool, "compile", "--line", os.path.join(sources, "long_linea.txt"), "--train",
                              os.path.join(sources, "long_train-.txt"), "--out", out], memory=True)
        pair.times.append(seconds)
        pair.memory.append(kib)
        joined = os.path.join(work, "joined")
        with open(joined, "wb") as sink:
            seconds, _ = timed(["cat"] + [os.path.join(out, name) for name in BINARY], stdout=sink)
        os.remove(joined)
        pair.baseline_times.append(seconds)
    return pair


def decompile(bin_folder, work, reference, runs):
    tool = os.path.join(bin_folder, "scenario_tool")
    if subprocess.run([tool, "decompile", "--help"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode:
        return "decompile: not in this scenario_tool"
    times, memory = [], []
    for _ in range(runs):
        out = fresh_folder(work, "decompiled")
        seconds, kib = timed([tool, "decompile", "--dat", os.path.join(reference, BINARY[2]), "--sim",
                              os.path.join(reference, BINARY[1]), "--plan", os.path.join(reference, BINARY[0]),
                              "--out", out], memory=True)
        times.append(seconds)
        memory.append(kib)
    return (f"{'decompile of the embedded':<28}{statistics.median(times) * 1000:9.1f} ms "
            f"{statistics.median(memory) / 1024:9.1f} MiB")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("bin_folder")
    parser.add_argument("--runs", type=int, default=11)
    parser.add_argument("--work", help="scratch folder (a fresh temporary one by default)")
    parser.add_argument("--generator", help="write_long_scenario to use (BIN_FOLDER's by default)")
    args = parser.parse_args()
    bin_folder = os.path.abspath(args.bin_folder)
    work = args.work or tempfile.mkdtemp(prefix="whole_runs.")
    os.makedirs(work, exist_ok=True)
    try:
        before = os.getloadavg()
        pair, reference = embedded(bin_folder, work, args.runs)
        generator = os.path.abspath(args.generator or os.path.join(bin_folder, "write_long_scenario"))
        long_pair = long_compile(bin_folder, work, args.runs, generator)
        decompiled = decompile(bin_folder, work, reference, args.runs)
        after = os.getloadavg()
        print(f"whole runs of {bin_folder}, median of {args.runs} "
              f"(load average {before[0]:.2f} before, {after[0]:.2f} after):")
        print(f"{'':<28}{'time':>12} {'peak memory':>13}")
        print(pair.row())
        print(long_pair.row())
        print(decompiled)
    finally:
        if not args.work:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
