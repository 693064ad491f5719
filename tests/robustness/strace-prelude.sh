# The common start of the scripts that interrupt saves under strace, sourced by them:
#   source strace-prelude.sh DRIVER_NAME "$1" [STRACE_OPTION...]
# Leaves the driver's absolute path in `driver` and the tracing options in `strace_options`
# (the given ones, with seccomp filtering where the kernel offers it), and turns LeakSanitizer
# off, since it cannot run under ptrace. Exits 2 without a driver, 77 (skipped) where strace is
# missing or cannot trace.
script_name=$(basename "$0" .sh)
driver=${2:-}
if [[ -z "$driver" || ! -x "$driver" ]]; then
    echo "usage: $0 PATH/TO/$1" >&2
    exit 2
fi
driver=$(cd "$(dirname "$driver")" && pwd)/$(basename "$driver")
if ! command -v strace >/dev/null 2>&1; then
    echo "$script_name: strace is not installed; skipped"
    exit 77
fi
if ! strace -f -qq -o /dev/null true >/dev/null 2>&1; then
    echo "$script_name: strace cannot trace processes here; skipped"
    exit 77
fi
strace_options=("${@:3}")
if strace --seccomp-bpf "${strace_options[@]}" -o /dev/null true >/dev/null 2>&1; then
    strace_options=(--seccomp-bpf "${strace_options[@]}")
fi
# Every other check of a sanitized driver stays on.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
