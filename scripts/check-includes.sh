#!/bin/sh
# Checks the include rules that the build alone cannot see:
#   engine/  no two files include each other, directly or through a longer cycle of engine
#            headers (a type is its header and its source together);
#   app/     the widgets include only widgets; the shell includes the widgets and itself, never
#            a view or feature folder; a view or feature folder includes the shell's host side
#            and the widgets, never another feature folder, the main frame, the views container
#            or the application object. Only main/ and tools/ put the folders together.
# Usage: scripts/check-includes.sh [engine|app] (both unless given).
set -eu
cd "$(dirname "$0")/.."
python3 - "${1:-all}" <<'PY'
import pathlib, re, sys

include = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)

def includes(folder):
    found = {}
    for path in sorted(pathlib.Path(folder).rglob("*")):
        if path.suffix in (".h", ".cpp"):
            found[str(path)] = include.findall(path.read_text(errors="replace"))
    return found

def check_engine():
    edges = {name: [t for t in targets if t.startswith("engine/")]
             for name, targets in includes("engine").items()}

    def stem(name):
        return name.rsplit(".", 1)[0]

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
    if not cycles:
        print(f"engine: no files include each other ({len(edges)} files)")
    return not cycles

# The shell's files a feature folder may not include: the window and what assembles it.
SHELL_ONLY = {"app/shell/CMainFrame.h", "app/shell/MainView.h", "app/shell/CApplication.h"}
COMPOSERS = {"main", "tools"}

def check_app():
    problems = []
    files = includes("app")
    for name, targets in files.items():
        # app/main.cpp is the program's main(): a composer too.
        folder = name.split("/")[1] if name.count("/") > 1 else "main"
        for target in targets:
            if not target.startswith("app/"):
                continue
            other = target.split("/")[1]
            if folder in COMPOSERS or other == folder:
                continue
            if folder == "widgets":
                problems.append(f"{name}: the widgets include {target}")
            elif folder == "shell":
                if other != "widgets":
                    problems.append(f"{name}: the shell includes the feature file {target}")
            elif other == "shell":
                if target in SHELL_ONLY:
                    problems.append(f"{name}: a view includes {target}")
            elif other != "widgets":
                problems.append(f"{name}: a view includes another view's {target}")
    for problem in problems:
        print(problem)
    if not problems:
        print(f"app: every folder keeps to its includes ({len(files)} files)")
    return not problems

which = sys.argv[1]
ok = True
if which in ("engine", "all"):
    ok = check_engine() and ok
if which in ("app", "all"):
    ok = check_app() and ok
sys.exit(0 if ok else 1)
PY
