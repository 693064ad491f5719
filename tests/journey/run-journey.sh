#!/usr/bin/env bash
# Gives the journey what a desktop session has: a virtual display with a window manager, a
# session bus and the accessibility bus, then runs it against the built program.
#   tests/journey/run-journey.sh PATH/TO/pagelyst SCREENSHOT_DIR
# Exits 77 (skipped) when the display, the bus or pyatspi is missing.
set -uo pipefail
program=$(realpath "$1")
shots=$(realpath -m "$2")
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb openbox xdotool dbus-run-session import; do
    command -v "$tool" >/dev/null 2>&1 || { echo "journey: $tool is missing; skipped"; exit 77; }
done
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || { echo "journey: pyatspi is missing; skipped"; exit 77; }
launcher=$(ls /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher 2>/dev/null | head -1)
[[ -n $launcher ]] || { echo "journey: at-spi-bus-launcher is missing; skipped"; exit 77; }

home=$(mktemp -d)
xvfb_pid=""
cleanup() {
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$home"
}
trap cleanup EXIT
# Xvfb picks a free display itself and writes its number to the descriptor.
exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1280x840x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 30 -u "$display_fd" number || { echo "journey: Xvfb did not start"; exit 1; }
export DISPLAY=":$number"
mkdir -p "$home/runtime" && chmod 700 "$home/runtime"
export XDG_RUNTIME_DIR=$home/runtime
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
# The program's own leaks are found by the suites; under a real display the X and font
# libraries keep caches to the end, so leaks are not checked here.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:new_delete_type_mismatch=0
dbus-run-session -- bash -c '
    openbox >/dev/null 2>&1 &
    "$0" --launch-immediately >/dev/null 2>&1 &
    sleep 1
    /usr/bin/python3 "$1" "$2" "$3/home" "$4"
' "$launcher" "$here/journey.py" "$program" "$home" "$shots"
status=$?
pkill -P $$ 2>/dev/null
exit $status
