#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vondrel on the bundled demo game (or on the
# game folder given with --game-dir DIR).
set -euo pipefail
cd "$(dirname "$0")"

scripts/ensure-packages.sh

build=${VONDREL_BUILD_DIR:-build-release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVONDREL_TESTS=OFF -DVONDREL_BENCH=OFF >/dev/null
cmake --build "$build"

# Without a folder of its own the editor starts on a freshly written demo game.
for arg in "$@"; do
    case "$arg" in
        --game-dir|--game-dir=*) exec "$build/src/vondrel" "$@" ;;
    esac
done
game="$build/demo-game"
rm -rf "$game"
"$build/tools/vondrel-make-game" "$game"
exec "$build/src/vondrel" --game-dir "$game" "$@"
