#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vondrel on the bundled demo game (or on the
# game folder given with --game-dir DIR).
set -euo pipefail
cd "$(dirname "$0")"

scripts/ensure-packages.sh

build=${VONDREL_BUILD_DIR:-build-release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVONDREL_TESTS=OFF -DVONDREL_BENCH=OFF >/dev/null
cmake --build "$build"

game="$build/demo-game"
if [ "${1:-}" = "--game-dir" ] && [ -n "${2:-}" ]; then
    game=$2
    shift 2
else
    rm -rf "$game"
    "$build/tools/gamebuilder/vondrel-make-game" "$game"
fi

# The window is not built yet: until then show what the editor loads from the folder.
exec "$build/tools/vondrel-inspect" "$game"
