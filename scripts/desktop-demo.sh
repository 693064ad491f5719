#!/usr/bin/env bash
# Builds the desktop program (release) and starts it on the bundled demo site, served on a
# loopback port inside the program, offline. Extra arguments go to `pagelyst`.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh --app
cmake -S . -B build/desktop -G Ninja -DCMAKE_BUILD_TYPE=Release -DPAGELYST_BUILD_TESTS=OFF \
    -DPAGELYST_BUILD_APP=ON >/dev/null
cmake --build build/desktop -j "$(nproc)" --target pagelyst
exec build/desktop/app/pagelyst --demo "$@"
