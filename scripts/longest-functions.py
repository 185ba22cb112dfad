#!/usr/bin/env python3
"""Lists the longest functions of the given source folders (default: the
core), longest first: a definition starts at a line that begins in column 0
and opens a brace, and ends at the next closing brace in column 0.

    scripts/longest-functions.py [--count N] [folder...]
"""
import pathlib
import re
import sys

args = sys.argv[1:]
count = 10
if args[:1] == ["--count"]:
    count = int(args[1])
    args = args[2:]
root = pathlib.Path(__file__).resolve().parent.parent
folders = args or ["codec", "files", "cpu", "sound", "data", "machine", "media", "monitor", "abc80"]
start = re.compile(r"^[A-Za-z_].*\b([A-Za-z_][A-Za-z_0-9:]*)\s*\(.*\{\s*$")
found = []
for folder in folders:
    for path in sorted((root / folder).rglob("*.cpp")):
        lines = path.read_text(errors="replace").split("\n")
        i = 0
        while i < len(lines):
            line = lines[i]
            m = start.match(line)
            header = i
            if not m and re.match(r"^[A-Za-z_].*\(", line) and not line.rstrip().endswith(";"):
                # a signature over several lines
                j = i
                while j + 1 < len(lines) and not lines[j].rstrip().endswith(("{", ";", "}")):
                    j += 1
                if lines[j].rstrip().endswith("{") and not lines[j].startswith("}"):
                    m = re.match(r"^[A-Za-z_].*?\b([A-Za-z_][A-Za-z_0-9:]*)\s*\(", line)
                    i = j
            if m and not line.startswith(("namespace", "struct", "class", "enum", "extern")):
                end = i + 1
                while end < len(lines) and not lines[end].startswith("}"):
                    end += 1
                found.append((end - header + 1, m.group(1), f"{path.relative_to(root)}:{header + 1}"))
                i = end
            i += 1
found.sort(key=lambda f: -f[0])
for length, name, where in found[:count]:
    print(f"{length:5d}  {name:32s} {where}")
