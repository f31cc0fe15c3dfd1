#!/usr/bin/env python3
"""Writes the decoder target's seeds into fuzz/corpus/decoder from the embedded scenario's files.

    fuzz/write_decoder_seeds.py FOLDER

FOLDER holds the files scenario_build leaves (make run: build/bin). Each seed is a kind byte
(0 track cells, 1 scenario record, 2 line record) and a file: the embedded track cells and
scenario record whole and cut short at a few places (inside a cell, inside an entry's name, one
byte short), and small line records of each shape the decoder accepts (the embedded one, 2.6 MB,
would slow every run of the fuzzer), with the embedded record's first kilobytes cut short.
"""
import os
import struct
import sys

LINE, TRAIN = "MorvellaC_DrasconaX", "5521"


def plan_half(values, length):
    """One half of a line record of metres 0..length: integers at 0 and 1, doubles, then empty."""
    out = struct.pack("<Hh", 2, values[0]) + struct.pack("<Hh", 2, values[1])
    for value in values[2:]:
        out += struct.pack("<Hd", 5, value)
    return out + struct.pack("<H", 0) * (length + 1 - len(values))


def main():
    folder = sys.argv[1]
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "decoder")
    os.makedirs(out, exist_ok=True)
    read = lambda name: open(os.path.join(folder, name), "rb").read()
    cells, record, plan = read(f"{LINE}_{TRAIN}.dat"), read(f"{LINE}_{TRAIN}.sim"), read(f"{LINE}_linea.dat")
    seeds = {
        "cells_embedded": b"\0" + cells,
        "cells_cut_in_a_cell": b"\0" + cells[: 15 * 100 + 7],
        "cells_one_short": b"\0" + cells[:-1],
        "record_embedded": b"\1" + record,
        "record_cut_in_a_name": b"\1" + record[: len(record) - 60],
        "record_one_short": b"\1" + record[:-1],
        "plan_embedded_cut": b"\2" + plan[:1000],
        "plan_unsized": b"\2",
        "plan_unstarted": b"\2" + struct.pack("<H", 0) * 14,
        "plan_small": b"\2" + plan_half([0, 0, -0.002, -0.006, -0.012], 8) +
                      plan_half([0, 1, 2.0, 2.999996, 3.99998], 8),
        "plan_doubles_to_the_end": b"\2" + plan_half([0, 0, 1.5, 2.5], 3) + plan_half([0, 1, 2.0, 3.0], 3),
        # Points no line can reach: spans that overflow, and points that are not numbers.
        "plan_beyond_any_line": b"\2" + plan_half([0, 0, 1.7e308, -1.7e308, 3.5e153], 4) +
                                plan_half([0, 1, -1.7e308, float("nan"), float("inf")], 4),
    }
    for name, data in seeds.items():
        with open(os.path.join(out, name + ".bin"), "wb") as f:
            f.write(data)
    print(f"{len(seeds)} seeds in {out}")


if __name__ == "__main__":
    main()
