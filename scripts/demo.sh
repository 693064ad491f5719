#!/usr/bin/env bash
# The main job on a fresh Debian 12 machine: installs what is missing, builds pagelyst-cli
# (release) and runs its demo: the bundled sample site served on a loopback port inside the
# program, crawled and measured, offline. Extra arguments go to `pagelyst-cli demo`.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DPAGELYST_BUILD_TESTS=OFF \
    >/dev/null
cmake --build build/release -j "$(nproc)" --target pagelyst-cli
exec build/release/cli/pagelyst-cli demo "$@"
