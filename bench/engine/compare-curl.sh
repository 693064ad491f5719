#!/usr/bin/env bash
# Builds the release benchmark tree and compares Pagelyst's phase times with curl's on the same
# loopback route (see TimingVsCurl.cpp). Arguments go to the program: rounds, tolerance in ms.
set -euo pipefail
cd "$(dirname "$0")/../.."
command -v curl >/dev/null || { echo "curl is needed (scripts/bootstrap.sh installs it)"; exit 1; }
build="${BUILD_DIR:-build/bench}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPAGELYST_BUILD_BENCH=ON \
    -DPAGELYST_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target engine_timing_vs_curl
"$build"/bench/engine/engine_timing_vs_curl "$@"
