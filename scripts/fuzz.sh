#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang in a folder of their own and
# runs each for SECONDS (default 60) from its seeds in fuzz/corpus/TARGET/.
# What a run adds to the corpus stays in the build folder; a crash's input is
# kept in BUILD_DIR/crashes/TARGET/ and fails the script. Turn a crash into a
# unit test beside the code it broke, and its input into a seed.
#   scripts/fuzz.sh [SECONDS] [BUILD_DIR]       default: 60 build-fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=$(realpath -m "${2:-build-fuzz}")  # absolute: a target may change its working folder
jobs=${PELMAR_JOBS:-$(nproc)}

start=$SECONDS
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPELMAR_BUILD_FUZZ=ON -DPELMAR_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target pelmar_fuzzers -j"$jobs" >/dev/null
built=$SECONDS

export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for program in "$build"/fuzz/*_fuzz; do
    target=$(basename "$program")
    seeds=$PWD/fuzz/corpus/$target
    [ -d "$seeds" ] || { echo "fuzz: $target has no seeds in $seeds" >&2; status=1; continue; }
    found=$build/corpus/$target
    crashes=$build/crashes/$target
    mkdir -p "$found" "$crashes"
    if "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
        -artifact_prefix="$crashes/" -print_final_stats=1 "$found" "$seeds" >"$build/$target.log" 2>&1; then
        echo "fuzz: $target: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$build/$target.log" |
            grep -o '[0-9]*$') runs in $seconds s, nothing found"
    else
        echo "fuzz: $target failed; its input is in $crashes/" >&2
        tail -n 60 "$build/$target.log" >&2
        status=1
    fi
done
echo "fuzz: build $((built - start)) s, runs $((SECONDS - built)) s"
exit $status
