#!/usr/bin/env python3
"""Fails when a source file includes a header from a folder above its own.

Each line of LAYERS is one layer, lowest first; a folder may include headers
of its own folder and of the folders on lower lines, never of a folder on
its own line or above. Includes name the header's path from the repository
root. Tests, tools, benchmarks and fuzz harnesses may include any layer.

Usage: check-layers.py [ROOT]   (default: the repository holding this script)
"""
import os
import re
import sys

LAYERS = [
    ["lib"],
    ["sound", "gfx"],
    ["sound/sdl", "gfx/sdl", "map", "widgets"],
    ["Src/core"],
    ["Src/menus"],
    ["Src/zones"],
    ["Src/records"],
    ["Src/frontend"],
    ["Src/game"],
    ["Src/app"],
]
UNCHECKED = ("tests", "tools", "bench", "fuzz")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(path):
    """The layered folder that holds path (longest match), or None."""
    best = None
    for level, folders in enumerate(LAYERS):
        for folder in folders:
            if path.startswith(folder + "/") and (best is None or len(folder) > len(best[0])):
                best = (folder, level)
    return best


def check(root):
    problems = []
    for top, _, names in os.walk(root):
        rel_top = os.path.relpath(top, root)
        if rel_top.split(os.sep)[0] in UNCHECKED or rel_top.startswith(("build", ".")):
            continue
        for name in sorted(names):
            if not name.endswith((".cpp", ".h")):
                continue
            rel = os.path.normpath(os.path.join(rel_top, name))
            own = folder_of(rel)
            if own is None:
                continue
            with open(os.path.join(root, rel), errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    header = os.path.normpath(m.group(1))
                    where = f"{rel}:{number}: {header}"
                    if not os.path.exists(os.path.join(root, header)):
                        problems.append(f"{where}: not a path from the repository root")
                        continue
                    used = folder_of(header)
                    if used is None:
                        problems.append(f"{where}: outside the layered folders")
                    elif used[0] != own[0] and used[1] >= own[1]:
                        problems.append(f"{where}: {own[0]} may not use {used[0]}")
    return problems


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    problems = check(root)
    for p in problems:
        print(p)
    print(f"{len(problems)} include(s) break the layers" if problems else "layers kept")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
