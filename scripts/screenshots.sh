#!/usr/bin/env bash
# Starts the desktop program on the bundled demo site under a virtual display with a window
# manager, crawls the site and saves screenshots of what a user sees into a folder:
#   scripts/screenshots.sh [OUT_DIR [--dark]]   (default: build/screenshots)
# --dark gives the program a dark palette, as a desktop's dark theme does.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/screenshots}")
scripts/bootstrap.sh --app
# The same release build as scripts/desktop-demo.sh.
cmake -S . -B build/desktop -G Ninja -DCMAKE_BUILD_TYPE=Release -DPAGELYST_BUILD_TESTS=OFF \
    -DPAGELYST_BUILD_APP=ON >/dev/null
cmake --build build/desktop -j "$(nproc)" --target pagelyst-screenshots
home=$(mktemp -d)
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x840x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $wm $xvfb 2>/dev/null || true; rm -rf "$home"' EXIT
sleep 1
DISPLAY=$display openbox >/dev/null 2>&1 &
wm=$!
sleep 1
DISPLAY=$display PAGELYST_HOME=$home QT_QPA_PLATFORM=xcb build/desktop/app/pagelyst-screenshots "$out" "${@:2}"
echo "screenshots in $out"
