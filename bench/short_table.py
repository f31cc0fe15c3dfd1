#!/usr/bin/env python3
"""The short table of `make bench`: the per-metre figures and the whole runs, with peak memory.

    bench/short_table.py BIN_FOLDER [--runs N]

Per metre (line_compile_bench, release): the plan step, the encoding of the line record (alone, from
laid-out points, and streamed from the plan's runs as the compile writes it), and the whole compile of the generated scenario at 10 km, 100 km and 1,000 km (flat when the cost grows
with the length alone). Whole processes (bench/whole_runs.py, medians of N runs side by side with
the plain copy they are measured against): the embedded run and the 1,000,000 m compile. Last,
what one fsync of a file as large as each output costs on the folder's disk, which the whole runs
pay for every kept file and the plain copies do not.
"""
import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import whole_runs  # noqa: E402


def per_metre(bin_folder):
    output = subprocess.run(
        [os.path.join(bin_folder, "line_compile_bench"), "--benchmark_format=json",
         "--benchmark_filter=BM_PlanStep|BM_EncodeLineRecord|BM_StreamLineRecord|BM_CompileLongScenario",
         "--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true"],
        check=True, capture_output=True, text=True).stdout
    rows = []
    for b in json.loads(output)["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        name = b["run_name"].replace("BM_", "")
        rows.append((name, b["time_per_metre"] * 1e9))
    return rows


def fsync_cost(work, size, runs):
    """Median extra time of fsync after writing `size` bytes into a new file."""
    data = os.urandom(size)
    extra = []
    for i in range(runs):
        timings = []
        for sync in (False, True):
            path = os.path.join(work, f"fsync_{i}_{sync}")
            start = time.perf_counter()
            with open(path, "wb") as f:
                f.write(data)
                f.flush()
                if sync:
                    os.fsync(f.fileno())
            timings.append(time.perf_counter() - start)
            os.remove(path)
        extra.append(timings[1] - timings[0])
    return statistics.median(extra)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("bin_folder")
    parser.add_argument("--runs", type=int, default=11)
    args = parser.parse_args()
    bin_folder = os.path.abspath(args.bin_folder)
    work = tempfile.mkdtemp(prefix="short_table.")
    try:
        load = os.getloadavg()[0]
        print("per metre (median of 5):")
        for name, ns in per_metre(bin_folder):
            print(f"  {name:<36}{ns:8.2f} ns/m")
        embedded, _ = whole_runs.embedded(bin_folder, work, args.runs)
        long_compile = whole_runs.long_compile(bin_folder, work, args.runs,
                                               os.path.join(bin_folder, "write_long_scenario"))
        print(f"whole runs (median of {args.runs}):")
        print("  " + embedded.row())
        print("  " + long_compile.row())
        print("one fsync after writing a file of:")
        for label, size in (("4 KB (a document, the .sim)", 4096), ("2.6 MB (the embedded line record)", 2619964),
                            ("20 MB (the 1,000,000 m line record)", 20139964)):
            print(f"  {label:<40}{fsync_cost(work, size, 5) * 1000:8.2f} ms")
        print(f"load average {load:.2f} at the start, {os.getloadavg()[0]:.2f} at the end")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
