#!/usr/bin/env bash
# The whole test run of a fresh Debian 12 machine: installs what is missing (Qt for the desktop
# program too), checks formatting, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs every test through CTest (the desktop suites offscreen),
# runs the threaded tests again under ThreadSanitizer, and runs each fuzz target for
# FUZZ_SECONDS (default 20; longer runs are made by hand); a finding fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)

scripts/bootstrap.sh --app

echo "== format"
scripts/check-format.sh

echo "== ASan + UBSan build and tests"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
    -DPAGELYST_WERROR=ON -DPAGELYST_SANITIZE=address,undefined -DPAGELYST_BUILD_APP=ON >/dev/null
cmake --build build/asan -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build/asan && ctest -j "$jobs" --output-on-failure --no-tests=error) | tee build/asan-ctest.log

echo "== TSan build and threaded tests"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
    -DPAGELYST_WERROR=ON -DPAGELYST_SANITIZE=thread -DPAGELYST_BUILD_APP=ON >/dev/null
cmake --build build/tsan -j "$jobs" --target threaded-tests
(cd build/tsan && TSAN_OPTIONS=halt_on_error=1 ctest -j "$jobs" -L threads --output-on-failure \
    --no-tests=ignore) | tee build/tsan-ctest.log

echo "== fuzz targets (${FUZZ_SECONDS:=20} s each)"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS=-O1 -DPAGELYST_BUILD_TESTS=OFF -DPAGELYST_BUILD_FUZZ=ON >/dev/null
cmake --build build/fuzz -j "$jobs" --target fuzzers
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

summary() { grep -E 'tests passed, [0-9]+ tests failed' "$1" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+)/\1 \2/'; }
read -r failed total < <(summary build/asan-ctest.log)
read -r tfailed ttotal < <(summary build/tsan-ctest.log || echo "0 0")
echo
echo "ASan/UBSan: $((total - failed)) of $total; TSan: $((ttotal - tfailed)) of $ttotal; fuzzing clean"
echo "$((total - failed + ttotal - tfailed)) passed, $((failed + tfailed)) failed"
