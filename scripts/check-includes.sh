#!/bin/sh
# Fails when two files of engine/ include each other, directly or through a longer cycle of
# engine headers. Usage: scripts/check-includes.sh [folder] (engine unless given).
set -eu
cd "$(dirname "$0")/.."
folder=${1:-engine}
python3 - "$folder" <<'PY'
import pathlib, re, sys

folder = sys.argv[1]
include = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
edges = {}
for path in sorted(pathlib.Path(folder).rglob("*")):
    if path.suffix not in (".h", ".cpp"):
        continue
    name = str(path)
    edges[name] = [t for t in include.findall(path.read_text(errors="replace"))
                   if t.startswith(folder + "/")]

def stem(name):
    return name.rsplit(".", 1)[0]

# A type is its header and its source together: Foo.cpp including Bar.h while Bar.cpp
# includes Foo.h ties the two types to each other as surely as two headers would.
units = {}
for name, targets in edges.items():
    units.setdefault(stem(name), set()).update(stem(t) for t in targets if stem(t) != stem(name))

cycles = set()
def visit(start, node, trail):
    for nxt in units.get(node, ()):
        if nxt == start:
            cycles.add(tuple(sorted(trail)))
        elif nxt not in trail and nxt > start:
            visit(start, nxt, trail + [nxt])
for start in sorted(units):
    visit(start, start, [start])

for cycle in sorted(cycles):
    print("include cycle: " + " <-> ".join(cycle))
if cycles:
    sys.exit(1)
print(f"{folder}: no files include each other ({len(edges)} files)")
PY
