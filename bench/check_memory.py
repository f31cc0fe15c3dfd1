#!/usr/bin/env python3
"""Peak memory and output size of `scenario_tool check` on descriptions full of junk lines.

    bench/check_memory.py BIN_FOLDER [--mib 8 64] [--formats text json sarif] [--limit-mb N]

BIN_FOLDER holds scenario_tool (a release build's bin/). For each size it writes a train
description of that many MiB whose every line after "[generale]" is "x" (each one a finding), and
runs check on it beside the embedded line description, once per format, with the default
--max-findings. Each row gives the peak resident memory of the process (from /usr/bin/time), the
bytes written to standard output, the wall time and the exit status. --limit-mb caps the address
space of each run (ulimit -v), so that a run that would need more than the machine can give ends
with an allocation failure instead of pressing on the other work of the machine.
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time


def junk_description(path, mib):
    line = b"x\r\n"
    count = (mib << 20) // len(line) - 4
    with open(path, "wb") as out:
        out.write(b"[generale]\r\n")
        chunk = line * 65536
        written = 0
        while written + 65536 <= count:
            out.write(chunk)
            written += 65536
        out.write(line * (count - written))
    return count


def measure(tool, line, train, fmt, limit_mb, work):
    stats = os.path.join(work, "time.txt")
    command = f"exec /usr/bin/time -f %M -o '{stats}' '{tool}' check --line '{line}' --train '{train}' --format {fmt}"
    if limit_mb:
        command = f"ulimit -v {limit_mb * 1024}; {command}"
    start = time.monotonic()
    with open(os.devnull, "wb") as sink:
        counter = subprocess.Popen(["wc", "-c"], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        run = subprocess.run(["bash", "-c", command], stdout=counter.stdin, stderr=sink)
        counter.stdin.close()
        written = int(counter.stdout.read().decode().strip() or 0)
        counter.wait()
    elapsed = time.monotonic() - start
    with open(stats) as text:
        peak_kb = int(text.read().strip().splitlines()[-1])
    return peak_kb, written, elapsed, run.returncode


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("bin_folder")
    parser.add_argument("--mib", type=int, nargs="+", default=[8, 64])
    parser.add_argument("--formats", nargs="+", default=["text", "json", "sarif"])
    parser.add_argument("--limit-mb", type=int, default=0)
    args = parser.parse_args()
    tool = os.path.join(args.bin_folder, "scenario_tool")
    with tempfile.TemporaryDirectory() as work:
        subprocess.run([tool, "init", work], check=True)
        line = os.path.join(work, "MorvellaC_DrasconaX_linea.txt")
        print(f"{'MiB':>4} {'lines':>10} {'format':>6} {'peak MB':>8} {'x file':>7} {'output B':>10} {'s':>6} status")
        for mib in args.mib:
            train = os.path.join(work, f"junk{mib}-.txt")
            lines = junk_description(train, mib)
            for fmt in args.formats:
                peak_kb, written, elapsed, status = measure(tool, line, train, fmt, args.limit_mb, work)
                print(f"{mib:>4} {lines:>10} {fmt:>6} {peak_kb / 1024:>8.0f} {peak_kb / 1024 / mib:>7.1f} "
                      f"{written:>10} {elapsed:>6.1f} {status}", flush=True)
            os.remove(train)
    return 0


if __name__ == "__main__":
    sys.exit(main())
