#!/usr/bin/env bash
# Runs `pagelyst-cli demo --json` RUNS times (10 unless given) and prints each page's class per
# run, then whether every page got the same class every time (exit 1 when not).
#     scripts/demo-classes.sh [pagelyst-cli] [RUNS]
set -euo pipefail
cli=$(realpath "${1:-build/dev/cli/pagelyst-cli}")
runs=${2:-10}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PAGELYST_HOME=$work/home
for run in $(seq "$runs"); do
    "$cli" demo --json --out "$work/out" 2>/dev/null >"$work/run-$run.json"
done
python3 - "$work" "$runs" <<'PY'
import json, sys, re
work, runs = sys.argv[1], int(sys.argv[2])
table = {}
for run in range(1, runs + 1):
    with open(f"{work}/run-{run}.json") as f:
        for page in json.load(f)["pages"]:
            # The port changes from run to run; the path names the page.
            name = re.sub(r"^http://[^/]+", "", page["address"]) or "/"
            if "localhost" in page["address"]:
                name = "localhost" + name
            table.setdefault(name, []).append(page["class"])
same = True
for name, classes in table.items():
    stable = len(set(classes)) == 1 and len(classes) == runs
    same &= stable
    print(f"{name:24} {' '.join(classes)}  {'same' if stable else 'DIFFERS'}")
print("every page got the same class in every run" if same else "classes differ between runs")
sys.exit(0 if same else 1)
PY
