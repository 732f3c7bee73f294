#!/usr/bin/env bash
# Builds the fuzz targets in build-fuzz, writes their seed corpora and runs each fuzzer for
# VONDREL_FUZZ_SECONDS seconds (default 20), one after the other. Exits non-zero when a
# fuzzer finds a crash, a broken invariant, a timeout or runs out of memory; the input is
# kept in build-fuzz/fuzz-artifacts. Without clang++ fuzzing is skipped.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-fuzz"
seconds="${VONDREL_FUZZ_SECONDS:-20}"

if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz: clang++ not found, fuzzing skipped"
    exit 0
fi
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "fuzz: VONDREL_FUZZ_SECONDS must be a whole number of seconds, not '$seconds'" >&2
    exit 2
fi

echo "fuzz: building in $build"
mkdir -p "$build"
CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DVONDREL_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build/configure.log" 2>&1 || {
    cat "$build/configure.log" >&2
    exit 1
}
cmake --build "$build" --target CharacterFileFuzz LoaderFuzz RegistryFuzz vondrel-make-seeds

seeds="$build/fuzz-seeds"
rm -rf "$seeds"
"$build/fuzz/vondrel-make-seeds" "$seeds"

artifacts="$build/fuzz-artifacts"
logs="$build/fuzz-logs"
mkdir -p "$artifacts" "$logs"

failed=0
run_fuzzer() {
    local fuzzer=$1 kind=$2
    local corpus="$build/fuzz-corpus/$kind"
    local log="$logs/$fuzzer.log"
    mkdir -p "$corpus"
    echo "fuzz: $fuzzer for ${seconds}s"
    local status=0
    "$build/fuzz/$fuzzer" "$corpus" "$seeds/$kind" \
        -dict="$seeds/$kind.dict" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$artifacts/$fuzzer-" -print_final_stats=1 \
        >"$log" 2>&1 || status=$?
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    if [ "$status" -ne 0 ]; then
        echo "fuzz: $fuzzer FAILED (exit status $status) after ${runs:-?} executions; log: $log"
        grep -E "broken invariant|ERROR: |SUMMARY: |Test unit written to" "$log" || tail -n 40 "$log"
        failed=1
    else
        echo "fuzz: $fuzzer: ${runs:-?} executions, no findings (corpus: $corpus)"
    fi
}

run_fuzzer CharacterFileFuzz character
run_fuzzer LoaderFuzz loader
run_fuzzer RegistryFuzz registry

exit "$failed"
