#!/usr/bin/env python3
"""Checks the rooms' arrows: no source includes a header of a room it may not use.

Usage: layering_check.py SOURCE_DIR

Each room (a folder of the project) may include headers of the rooms listed for it below, and of
its own; the public header scenario/compile.h (under include/) belongs to the compiler's room. A
room's list is what its library links (CMakeLists.txt): the two must agree. Prints every
forbidden include as FILE:LINE: ROOM includes HEADER, and exits 1 if there is one.
"""
import pathlib
import re
import sys

MAY_USE = {
    "model": [],
    "format": ["model"],
    "description": ["model", "format"],
    "disk": ["model", "format"],
    "compiler": ["model", "format", "description"],
    "scenario": ["model", "format", "description", "compiler"],
    "decompile": ["model", "format", "description", "compiler"],
    "render": ["model", "format", "description", "compiler"],
    "diff": ["model", "format", "description", "compiler", "decompile", "render"],
    "cli": ["model", "format", "description", "compiler", "disk", "scenario", "decompile", "render"],
    "driver": ["model", "format", "description", "compiler", "disk", "scenario", "cli"],
    "tools": ["model", "format", "description", "compiler", "disk", "scenario", "decompile", "render", "diff", "cli"],
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def room_of_header(header, source_dir):
    """The room a header belongs to: its first folder, or the compiler for the public header."""
    if (source_dir / "include" / header).is_file():
        return "compiler"
    return header.split("/", 1)[0] if "/" in header else None


def main():
    source_dir = pathlib.Path(sys.argv[1]).resolve()
    faults = []
    for room, may_use in MAY_USE.items():
        allowed = set(may_use) | {room}
        for path in sorted((source_dir / room).glob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            for number, text in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
                match = INCLUDE.match(text)
                if not match:
                    continue
                header = match.group(1)
                other = room_of_header(header, source_dir)
                if other in MAY_USE and other not in allowed:
                    faults.append(f"{path.relative_to(source_dir)}:{number}: {room} includes {header}")
    include_dir = source_dir / "include" / "scenario"
    for path in sorted(include_dir.glob("*.h")):
        for number, text in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(text)
            if match:
                faults.append(f"{path.relative_to(source_dir)}:{number}: the public header includes {match.group(1)}")
    for fault in faults:
        print(fault)
    print(f"layering: {len(faults)} forbidden includes in {len(MAY_USE)} rooms")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
