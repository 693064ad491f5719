#!/usr/bin/env bash
# Kills the desktop program with SIGKILL in the middle of each of its saves and checks that the
# file left behind is one complete generation.
#
#   tests/app/robustness/desktop-interrupted-saves.sh PATH/TO/desktop_save_driver
#
# For each file the program writes (statistics catalogue, report definitions and settings store
# at quit, a scenario, the CSV, HTML and HAR exports) it has the program make a first generation,
# then starts a second save with its writes, fsyncs and renames slowed down by strace and kills
# the program at a random moment of it. The file must then hold generation 1 or 2, never a mix
# or a torn one; a save that ran to its end must hold 2. Prints a table of kind -> passed/total
# and how the kills fell. Exits 0 when every run passed, 1 otherwise, and 77 (skipped) when
# strace is missing or cannot trace here.
#
# DESKTOP_SAVE_KILLS sets the number of kills per kind (4); SAVE_SEED the random seed.
set -uo pipefail

source "$(dirname "$0")/../../robustness/strace-prelude.sh" desktop_save_driver "${1:-}" -f -qq
export QT_QPA_PLATFORM=offscreen

kills=${DESKTOP_SAVE_KILLS:-4}
RANDOM=${SAVE_SEED:-4711}
kinds=(statistics report settings scenario csv html har)
# Microseconds each fsync and rename, and each write, of the slowed-down save waits. Every
# thread's writes count (event loop wake-ups too), so those wait little; the few fsync and
# rename calls of a save wait long, which holds the save open between its first write and the
# rename that ends it.
sync_delay_us=30000
write_delay_us=300

work=$(mktemp -d "${TMPDIR:-/tmp}/pagelyst-desktop-saves-XXXXXX")
trap 'rm -rf "$work"' EXIT
declare -A passed total kept_old had_new finished stranded
failures=()

target_of() {
    local kind=$1 home=$2 data=$2/.local/share/Quorvantix/ZORV
    case $kind in
        statistics) echo "$data/lmstat.cfg" ;;
        report) echo "$data/lmreprt.cfg" ;;
        settings) echo "$home/.config/pagelyst/current-user.conf" ;;
        scenario) echo "$home/site.wsa" ;;
        *) echo "$home/export.$kind" ;;
    esac
}

# Temporary files of a save ("<target>.XXXXXX") left beside the target.
strays() {
    local target=$1
    find "$(dirname "$target")" -mindepth 1 -maxdepth 1 -name "$(basename "$target").??????" \
        ! -name '*.damaged-*' -printf '%f\n' | grep -c .
}

now_us() {
    local t=${EPOCHREALTIME/./}
    echo $((10#$t))
}

# Starts the slowed-down save of generation 2 in the background: tracer is strace's id, pid the
# program's once it has written it (the program is up, only the save is left).
start_slowed() {
    rm -rf "$run"
    cp -a "$pristine" "$run"
    rm -f "$work/pid" "$work/done"
    SAVE_DRIVER_PIDFILE=$work/pid SAVE_DRIVER_DONEFILE=$work/done PAGELYST_HOME=$run strace "${strace_options[@]}" -o /dev/null \
        -e trace=write,fsync,fdatasync,rename \
        -e inject="fsync,fdatasync,rename:delay_enter=$sync_delay_us" \
        -e inject="write:delay_enter=$write_delay_us" \
        "$driver" save "$kind" "$target" 2 >/dev/null 2>"$work/err" &
    tracer=$!
    pid=""
    for ((tries = 0; tries < 3000; tries++)); do
        [[ -s "$work/pid" ]] && pid=$(<"$work/pid")
        [[ -n "$pid" ]] && break
        kill -0 "$tracer" 2>/dev/null || break
        sleep 0.01
    done
    saving_since=$(now_us)
}

# Judges one run: $1 exit status, $2 whether it was killed on purpose, $3 what to call it.
judge() {
    local rc=$1 killed=$2 what=$3 generation problem=""
    generation=$(PAGELYST_HOME=$run "$driver" check "$kind" "$target" 2>/dev/null)
    total[$kind]=$((${total[$kind]:-0} + 1))
    if [[ $killed == yes && $rc -eq 137 ]]; then
        [[ $generation == 1 || $generation == 2 ]] || problem="killed save left: $generation"
        [[ $generation == 1 ]] && kept_old[$kind]=$((${kept_old[$kind]:-0} + 1))
        [[ $generation == 2 ]] && had_new[$kind]=$((${had_new[$kind]:-0} + 1))
        [[ $(strays "$target") -gt 0 ]] && stranded[$kind]=$((${stranded[$kind]:-0} + 1))
    elif [[ $rc -eq 0 ]]; then
        finished[$kind]=$((${finished[$kind]:-0} + 1))
        [[ $generation == 2 ]] || problem="finished save left: $generation"
    else
        problem="exit $rc: $(grep -v -e QStandardPaths -e propagateSizeHints "$work/err" |
            head -c 300)"
    fi
    if [[ -z "$problem" ]]; then
        passed[$kind]=$((${passed[$kind]:-0} + 1))
    else
        failures+=("$kind $what: $problem")
    fi
}

started=$(now_us)
for kind in "${kinds[@]}"; do
    pristine=$work/$kind-pristine
    run=$work/$kind-run
    mkdir -p "$pristine"
    pristine_target=$(target_of "$kind" "$pristine")
    target=$(target_of "$kind" "$run")
    if ! PAGELYST_HOME=$pristine "$driver" save "$kind" "$pristine_target" 1 2>"$work/err" ||
        [[ $(PAGELYST_HOME=$pristine "$driver" check "$kind" "$pristine_target") != 1 ]]; then
        echo "desktop-interrupted-saves: cannot make the first generation of $kind:" >&2
        head -c 600 "$work/err" >&2
        exit 1
    fi
    rm -f "$pristine/.config/pagelyst/current-user.conf.lock"

    # How long the slowed-down save runs once the program is up, so that the kills spread
    # over it (what the program does after the save is left out).
    start_slowed
    while [[ ! -e "$work/done" ]] && kill -0 "$tracer" 2>/dev/null; do sleep 0.005; done
    span_ms=$((($(now_us) - saving_since) / 1000 + 1))
    { wait "$tracer"; } 2>/dev/null
    judge $? no "unkilled"
    for ((k = 1; k <= kills; k++)); do
        start_slowed
        at_ms=$((RANDOM % span_ms))
        sleep "$(printf '%d.%03d' $((at_ms / 1000)) $((at_ms % 1000)))"
        [[ -n "$pid" ]] && kill -9 "$pid" 2>/dev/null
        { wait "$tracer"; } 2>/dev/null
        judge $? yes "killed after ${at_ms} of ${span_ms} ms"
    done
done
elapsed=$((($(now_us) - started) / 1000000))

printf '%-11s %7s   %s\n' "file" "passed" "killed with the old file / with the new / finished first; temporary file left"
for kind in "${kinds[@]}"; do
    printf '%-11s %3d/%-3d   %3d / %3d / %3d; %3d\n' "$kind" "${passed[$kind]:-0}" \
        "${total[$kind]:-0}" "${kept_old[$kind]:-0}" "${had_new[$kind]:-0}" \
        "${finished[$kind]:-0}" "${stranded[$kind]:-0}"
done
echo "desktop-interrupted-saves: ${#failures[@]} failed runs, ${elapsed} s"
for failure in "${failures[@]}"; do echo "FAILED: $failure"; done
[[ ${#failures[@]} -eq 0 ]]
