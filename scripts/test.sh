#!/usr/bin/env bash
# The whole test run of a fresh Debian 12 machine: installs what is missing (Qt for the desktop
# program too), checks formatting and the include rules, builds everything with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs every test through CTest (the desktop
# suites offscreen), runs the threaded tests again under ThreadSanitizer, and runs each fuzz
# target for FUZZ_SECONDS (default 20; longer runs are made by hand); a finding fails the run.
# Each stage's time is printed at the end. Builds go through ccache when it is installed.
#
# Checking suites for flakes before submitting:
#   scripts/test.sh --repeat N [--load K] [CTEST_REGEX]
# builds the ASan tree only and runs the tests (those matching CTEST_REGEX, else all) N times
# in a row, stopping at the first failure, with K busy processes beside them (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)

repeat=0
load=2
filter=""
while [[ $# -gt 0 ]]; do
    case $1 in
        --repeat) repeat=$2; shift 2 ;;
        --load) load=$2; shift 2 ;;
        *) filter=$1; shift ;;
    esac
done

scripts/bootstrap.sh --app

# The three trees take about 7 GB; a disk that fills up half way fails the run in the linker,
# far from its cause, so say it before building.
free_kb=$(df -Pk . | awk 'NR == 2 { print $4 }')
if [[ $free_kb -lt $((8 * 1024 * 1024)) ]]; then
    echo "scripts/test.sh: only $((free_kb / 1024)) MB free on $(df -P . | awk 'NR == 2 { print $6 }'); the run needs about 8 GB" >&2
    exit 1
fi

launcher=()
if command -v ccache >/dev/null 2>&1; then
    # One cache for every tree and every clone: compiler flags and paths relative to the tree
    # keep a clean clone's build a cache hit.
    export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1 CCACHE_SLOPPINESS=pch_defines,time_macros
    export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-8G}
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

stages=()
stage_start=0
begin() {
    stage_start=$SECONDS
    echo "== $1"
    stages+=("$1")
}
times=()
end() { times+=($((SECONDS - stage_start))); }

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

configure_asan() {
    cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
        -DPAGELYST_WERROR=ON -DPAGELYST_SANITIZE=address,undefined -DPAGELYST_BUILD_APP=ON \
        "${launcher[@]}" >/dev/null
}

if [[ $repeat -gt 0 ]]; then
    configure_asan
    cmake --build build/asan -j "$jobs"
    busy=()
    for ((i = 0; i < load; ++i)); do
        (while :; do :; done) &
        busy+=($!)
    done
    trap 'kill "${busy[@]}" 2>/dev/null || true' EXIT
    selection=()
    [[ -n $filter ]] && selection=(-R "$filter")
    (cd build/asan && ctest -j "$jobs" --output-on-failure --no-tests=error \
        --repeat "until-fail:$repeat" "${selection[@]}")
    exit
fi

begin "format and include rules"
scripts/check-format.sh
scripts/check-includes.sh
end

begin "ASan + UBSan build"
configure_asan
cmake --build build/asan -j "$jobs"
end

begin "ASan + UBSan tests"
(cd build/asan && ctest -j "$jobs" --output-on-failure --no-tests=error) | tee build/asan-ctest.log
end

begin "TSan build"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
    -DPAGELYST_WERROR=ON -DPAGELYST_SANITIZE=thread -DPAGELYST_BUILD_APP=ON \
    "${launcher[@]}" >/dev/null
cmake --build build/tsan -j "$jobs" --target threaded-tests
end

begin "TSan tests"
(cd build/tsan && TSAN_OPTIONS=halt_on_error=1 ctest -j "$jobs" -L threads --output-on-failure \
    --no-tests=ignore) | tee build/tsan-ctest.log
end

begin "fuzz build"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS=-O1 -DPAGELYST_BUILD_TESTS=OFF -DPAGELYST_BUILD_FUZZ=ON \
    "${launcher[@]}" >/dev/null
cmake --build build/fuzz -j "$jobs" --target fuzzers
end

begin "fuzzing (${FUZZ_SECONDS:=20} s each)"
for fuzzer in build/fuzz/fuzz/fuzz_*; do
    [[ -x "$fuzzer" ]] || continue
    name=$(basename "$fuzzer")
    corpus="build/fuzz/corpus/$name"
    mkdir -p "$corpus"
    seeds=()
    [[ -d "fuzz/corpus/$name" ]] && seeds=("fuzz/corpus/$name")
    echo "-- $name"
    # The Archive loader may never allocate more than its input justifies: inputs are at most
    # 4 KB, so any allocation of 16 MB is a finding there.
    limit=512
    [[ $name == fuzz_archive ]] && limit=16
    "$fuzzer" -max_total_time="$FUZZ_SECONDS" -malloc_limit_mb="$limit" -rss_limit_mb=2048 \
        -artifact_prefix="build/fuzz/$name-" "$corpus" "${seeds[@]}" 2>build/fuzz/$name.log ||
        { tail -50 "build/fuzz/$name.log"; exit 1; }
done
end

summary() { grep -E 'tests passed, [0-9]+ tests failed' "$1" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+)/\1 \2/'; }
read -r failed total < <(summary build/asan-ctest.log)
read -r tfailed ttotal < <(summary build/tsan-ctest.log || echo "0 0")
echo
echo "Stage times:"
for i in "${!stages[@]}"; do
    printf '  %-32s %5d s\n' "${stages[$i]}" "${times[$i]}"
done
printf '  %-32s %5d s\n' "total" "$SECONDS"
if command -v ccache >/dev/null 2>&1; then ccache --show-stats 2>/dev/null | grep -Ei 'hit|miss' | head -4 || true; fi
echo "ASan/UBSan: $((total - failed)) of $total; TSan: $((ttotal - tfailed)) of $ttotal; fuzzing clean"
echo "$((total - failed + ttotal - tfailed)) passed, $((failed + tfailed)) failed"
