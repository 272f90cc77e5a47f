#!/bin/sh
# Replays every fuzzer's seed corpus, then fuzzes each for FUZZ_SECONDS (default 20).
# usage: tests/fuzz/run.sh <build folder>      (the folder configured with -DTW_FUZZ=ON)
# New inputs go to a scratch folder, never into the committed corpus. A crash stops the
# run with a non-zero status and leaves its input as <fuzzer>-crash-* in the current folder.
set -eu
build=${1:?usage: run.sh <build folder>}
seconds=${FUZZ_SECONDS:-20}
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT INT TERM
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

found=0
for fuzzer in "$build"/tests/fuzz/fuzz_*; do
    [ -x "$fuzzer" ] && [ -f "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    corpus="$here/corpus/$name"
    found=1
    mkdir -p "$scratch/$name"
    if [ -d "$corpus" ]; then
        echo "== $name: replaying $(ls "$corpus" | wc -l) seeds"
        if ! "$fuzzer" -runs=0 "$corpus" >"$scratch/$name.replay" 2>&1; then
            tail -n 60 "$scratch/$name.replay"
            echo "== $name: a seed FAILED"
            exit 1
        fi
    else
        echo "== $name: no seed corpus in $corpus"
        corpus=""
    fi
    echo "== $name: fuzzing for $seconds s"
    log="$scratch/$name.log"
    if ! "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
            -artifact_prefix="./$name-" "$scratch/$name" $corpus >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "== $name: FAILED; its input is ./$name-crash-* (or leak-, timeout-, oom-)"
        exit 1
    fi
    grep -E "^stat::(number_of_executed_units|new_units_added|peak_rss_mb)" "$log" || true
done
[ "$found" = 1 ] || { echo "no fuzzers in $build/tests/fuzz"; exit 1; }
echo "== all fuzzers passed"
