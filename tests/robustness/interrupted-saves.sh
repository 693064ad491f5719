#!/usr/bin/env bash
# Interrupts every kind of save and checks that no save ever leaves a torn file behind.
#
#   tests/robustness/interrupted-saves.sh PATH/TO/save_driver
#
# For each kind of file (statistics catalogue, report definitions, scenario, settings store,
# CSV, HTML and HAR exports) it starts from a complete first generation of the file and saves a
# second one:
#   - under strace fault injection, failing the Nth write, fsync or rename with ENOSPC or EIO,
#     for every N that is a call of the save, then for the first N past them all, when the save
#     must get through;
#   - under kill -9 at random moments, every write, fsync and rename slowed down so that the
#     kill lands anywhere in the save.
# After every run the file must hold one complete generation: the first after a failed or
# killed save, the second after a save that reported success; a failure must be reported
# (non-zero exit and the error on stderr) and must leave no temporary file behind. Prints a
# matrix of kind x fault -> passed/total. Exits 0 when every run passed, 1 otherwise, and 77
# (skipped) when strace is missing or cannot trace here.
#
# SAVE_KILLS sets the number of kill -9 runs per kind (30); SAVE_SEED the random seed.
set -uo pipefail

# -y names each descriptor's file, so the trace shows which calls belong to the save.
source "$(dirname "$0")/strace-prelude.sh" save_driver "${1:-}" -f -qq -y

kills=${SAVE_KILLS:-30}
RANDOM=${SAVE_SEED:-4711}
kinds=(statistics report scenario settings csv html har)
faults=(write:ENOSPC write:EIO fsync:ENOSPC fsync:EIO rename:ENOSPC rename:EIO kill-9)
# Upper bound on N, in case a fault somehow never lets a save through.
max_n=5000
# Microseconds each write, fsync and rename waits in the kill runs.
delay_us=3000

work=$(mktemp -d "${TMPDIR:-/tmp}/pagelyst-saves-XXXXXX")
trap 'rm -rf "$work"' EXIT
declare -A passed total kept_old had_new finished stranded
failures=()
missed=0

# The file a kind saves to inside folder $1; settings live where PAGELYST_HOME points.
target_of() {
    local kind=$1 folder=$2
    case $kind in
        statistics) echo "$folder/lmstat.cfg" ;;
        report) echo "$folder/lmreprt.cfg" ;;
        scenario) echo "$folder/site.wsa" ;;
        settings) echo "$folder/.config/pagelyst/current-user.conf" ;;
        csv) echo "$folder/export.csv" ;;
        html) echo "$folder/export.html" ;;
        har) echo "$folder/export.har" ;;
    esac
}

# Files a save may leave next to its target: anything else is a temporary file left behind.
strays() {
    local target=$1
    local base
    base=$(basename "$target")
    find "$(dirname "$target")" -mindepth 1 -maxdepth 1 \
        ! -name "$base" ! -name "$base.lock" ! -name "$base.damaged-*" -printf '%f\n'
}

# Restores the first generation in $run from $pristine.
reset_run() {
    rm -rf "$run"
    cp -a "$pristine" "$run"
}

# Judges one run: $1 kind, $2 fault, $3 exit status, $4 its stderr file, $5 whether the run was
# killed on purpose, $6 what to name the run by. Sets outcome to success, failure or killed.
judge() {
    local kind=$1 fault=$2 rc=$3 err=$4 killed=$5 what=$6
    local target generation problem=""
    target=$(target_of "$kind" "$run")
    generation=$(PAGELYST_HOME=$run "$driver" check "$kind" "$target" 2>&1)
    if [[ $rc -eq 0 ]]; then
        outcome=success
        [[ "$generation" == 2 ]] || problem="save reported success but the file holds: $generation"
    elif [[ $killed == yes && $rc -eq 137 ]]; then
        outcome=killed
        [[ "$generation" == 1 || "$generation" == 2 ]] || problem="killed save left: $generation"
    else
        outcome=failure
        if [[ "$generation" != 1 && "$generation" != 2 ]]; then
            problem="failed save left: $generation"
        elif ! grep -q "not saved" "$err"; then
            problem="exit $rc without an error message: $(head -c 300 "$err")"
        fi
    fi
    local left
    left=$(strays "$target")
    judged_generation=$generation
    judged_strays=$(echo -n "$left" | grep -c .)
    if [[ -z "$problem" && -n "$left" && $outcome != killed ]]; then
        problem="left behind: $(echo "$left" | tr '\n' ' ')"
    fi
    total[$kind,$fault]=$((${total[$kind,$fault]:-0} + 1))
    if [[ -z "$problem" ]]; then
        passed[$kind,$fault]=$((${passed[$kind,$fault]:-0} + 1))
    else
        failures+=("$kind $fault $what: $problem")
    fi
}

now_us() {
    local t=${EPOCHREALTIME/./}
    echo $((10#$t))
}

# Starts a save of generation 2 with every write, fsync and rename slowed down, in the
# background; sets tracer (strace's id) and pid (the saving process's id, once it is known).
start_slowed() {
    reset_run
    rm -f "$work/pid"
    SAVE_DRIVER_PIDFILE=$work/pid PAGELYST_HOME=$run strace "${strace_options[@]}" \
        -o /dev/null -e trace=write,fsync,rename \
        -e inject="write,fsync,rename:delay_enter=$delay_us" \
        "$driver" save "$kind" "$target" 2 >/dev/null 2>"$work/err" &
    tracer=$!
    pid=""
    for ((tries = 0; tries < 500; tries++)); do
        [[ -s "$work/pid" ]] && pid=$(<"$work/pid")
        [[ -n "$pid" ]] && break
        sleep 0.01
    done
}

started=$(now_us)
for kind in "${kinds[@]}"; do
    pristine=$work/$kind-pristine
    run=$work/$kind-run
    mkdir -p "$pristine"
    pristine_target=$(target_of "$kind" "$pristine")
    if ! PAGELYST_HOME=$pristine "$driver" save "$kind" "$pristine_target" 1 ||
        [[ $(PAGELYST_HOME=$pristine "$driver" check "$kind" "$pristine_target") != 1 ]]; then
        echo "interrupted-saves: cannot make the first generation of $kind" >&2
        exit 1
    fi
    # The settings store's lock file belongs to the store; start every run without one.
    rm -f "$pristine_target.lock"
    target=$(target_of "$kind" "$run")

    for fault in "${faults[@]}"; do
        [[ $fault == kill-9 ]] && continue
        syscall=${fault%%:*}
        error=${fault##*:}
        # strace counts every call of the kind, the sanitizers' own probing writes among them:
        # a clean run tells which of them are the save's (those naming a file in its folder).
        reset_run
        PAGELYST_HOME=$run strace "${strace_options[@]}" -o "$work/trace" -e trace="$syscall" \
            "$driver" save "$kind" "$target" 2 >/dev/null 2>&1
        calls=$(grep -cE "^[0-9]+ +$syscall\(" "$work/trace")
        mapfile -t ns < <(grep -E "^[0-9]+ +$syscall\(" "$work/trace" | grep -n -F "$run" |
            cut -d: -f1)
        # Failing each of them, then one past the last: that save must get through.
        ns+=($((calls + 1)))
        for n in "${ns[@]}"; do
            reset_run
            PAGELYST_HOME=$run strace "${strace_options[@]}" -o "$work/trace" \
                -e trace="$syscall" -e inject="$syscall:error=$error:when=$n" \
                "$driver" save "$kind" "$target" 2 >/dev/null 2>"$work/err"
            rc=$?
            if [[ $n -le $calls ]] && ! grep "(INJECTED)" "$work/trace" | grep -q -F "$run"; then
                missed=$((missed + 1))
            fi
            judge "$kind" "$fault" "$rc" "$work/err" no "N=$n"
        done
    done

    # How long a slowed-down save runs once it has started, so that the kills spread over it.
    start_slowed
    begin=$(now_us)
    { wait "$tracer"; } 2>/dev/null
    span_ms=$((($(now_us) - begin) / 1000 + 1))
    for ((k = 1; k <= kills; k++)); do
        start_slowed
        at_ms=$((RANDOM % span_ms))
        sleep "$(printf '%d.%03d' $((at_ms / 1000)) $((at_ms % 1000)))"
        [[ -n "$pid" ]] && kill -9 "$pid" 2>/dev/null
        { wait "$tracer"; } 2>/dev/null
        rc=$?
        judge "$kind" kill-9 "$rc" "$work/err" yes "after ${at_ms} ms"
        if [[ $outcome == killed ]]; then
            [[ $judged_generation == 1 ]] && kept_old[$kind]=$((${kept_old[$kind]:-0} + 1))
            [[ $judged_generation == 2 ]] && had_new[$kind]=$((${had_new[$kind]:-0} + 1))
            [[ $judged_strays -gt 0 ]] && stranded[$kind]=$((${stranded[$kind]:-0} + 1))
        else
            finished[$kind]=$((${finished[$kind]:-0} + 1))
        fi
    done
done
elapsed=$((($(now_us) - started) / 1000000))

printf '%-11s' "save"
for fault in "${faults[@]}"; do printf ' %13s' "$fault"; done
printf '\n'
for kind in "${kinds[@]}"; do
    printf '%-11s' "$kind"
    for fault in "${faults[@]}"; do
        printf ' %13s' "${passed[$kind,$fault]:-0}/${total[$kind,$fault]:-0}"
    done
    printf '\n'
done
echo "kill -9: killed before the rename (old file kept) / after it (new file) / finished first;"
echo "         killed runs that left their temporary file behind"
for kind in "${kinds[@]}"; do
    printf '  %-11s %3d / %3d / %3d; %3d\n' "$kind" "${kept_old[$kind]:-0}" \
        "${had_new[$kind]:-0}" "${finished[$kind]:-0}" "${stranded[$kind]:-0}"
done
echo "interrupted-saves: ${#failures[@]} failed runs, ${elapsed} s"
if [[ $missed -gt 0 ]]; then
    echo "interrupted-saves: $missed injected faults hit a call outside the save (judged all the same)"
fi
for failure in "${failures[@]}"; do echo "FAILED: $failure"; done
[[ ${#failures[@]} -eq 0 ]]
