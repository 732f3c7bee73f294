#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")"

scripts/ensure-packages.sh --tests

build=${VONDREL_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build"

# Short fuzzing runs of the file readers (longer ones: VONDREL_FUZZ_SECONDS=600 fuzz/run.sh).
if [ -x fuzz/run.sh ]; then
    VONDREL_FUZZ_SECONDS=${VONDREL_FUZZ_SECONDS:-15} fuzz/run.sh
fi

(cd "$build" && ctest --output-on-failure)

# The core built for Windows and run under Wine (VONDREL_SKIP_WINDOWS=1 leaves it out).
if [ "${VONDREL_SKIP_WINDOWS:-0}" = 1 ]; then
    echo "Windows core tests skipped (VONDREL_SKIP_WINDOWS=1)"
else
    scripts/windows-core-tests.sh
fi
