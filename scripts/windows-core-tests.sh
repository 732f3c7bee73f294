#!/usr/bin/env bash
# Builds the Qt-free core, its tests and the game tools as Windows programs (MinGW-w64) and
# runs them under Wine in a fresh, throw-away Wine prefix, against Wine's own Win32 API and
# registry. The prefix's temporary folder lies under non-ASCII folder names, so every test
# that writes a game folder does so in such a path.
#
# Usage: scripts/windows-core-tests.sh    (build folder: $VONDREL_WINDOWS_BUILD_DIR or
#                                          build-windows)
# Exit status: 0 when everything passed or Wine cannot start here (said so), else 1.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix googletest wine wine64)
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "windows-core-tests: these Debian packages are missing and installing them needs" >&2
        echo "root: ${missing[*]}" >&2
        echo "Run: apt-get install ${missing[*]}" >&2
        exit 1
    fi
    echo "windows-core-tests: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build=${VONDREL_WINDOWS_BUILD_DIR:-build-windows}
cmake -S . -B "$build" -G Ninja --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVONDREL_GUI=OFF -DVONDREL_BENCH=OFF \
    -DVONDREL_FUZZ=OFF -DVONDREL_TESTS=ON >/dev/null
cmake --build "$build" --target vondrel-tests vondrel-make-game vondrel-inspect -- -j2
built=$SECONDS

# A prefix of our own: nothing of the user's Wine setup is read or changed. No display is
# needed for console programs; the .NET and HTML runtimes are not wanted.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vondrel-wine.XXXXXX")
export WINEPREFIX=$scratch/prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Command lines and file names pass between Linux and Wine as UTF-8.
export LC_ALL=C.UTF-8
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$scratch"
}
trap cleanup EXIT

if ! timeout 180 wine wineboot --init >"$scratch/wineboot.log" 2>&1 ||
    ! timeout 60 wineserver -w; then
    echo "windows-core-tests: SKIPPED, Wine cannot start here:" >&2
    tail -5 "$scratch/wineboot.log" >&2
    exit 0
fi

# The user's temporary folder: "C:\users\Zoë\Temp\Пётр" (beyond the ANSI code page too).
tempdir='C:\users\Zoë\Temp\Пётр'
mkdir -p "$WINEPREFIX/drive_c/users/Zoë/Temp/Пётр"
for name in TEMP TMP; do
    wine reg add 'HKCU\Environment' /v "$name" /t REG_SZ /d "$tempdir" /f >/dev/null
done
wineserver -w
prefixed=$SECONDS

status=0
log=$scratch/tests.log
# The registry tests write the game's keys into HKEY_LOCAL_MACHINE; allowed only here.
if ! VONDREL_SCRATCH_REGISTRY=1 timeout 300 wine "$build/tests/vondrel-tests.exe" >"$log" 2>&1; then
    status=1
    grep -E '^\[  FAILED  \]|Failure' -A6 "$log" | head -80 >&2 || tail -30 "$log" >&2
fi
passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$log")
failed=$(sed -n 's/^ *\([0-9]*\) FAILED TESTS\?.*/\1/p' "$log")
skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?, listed below.*/\1/p' "$log")

# The game tools with non-ASCII command-line arguments: write the demo game, then load it.
game='C:\users\Zoë\Die Veks'
if ! wine "$build/tools/vondrel-make-game.exe" "$game" >"$scratch/make.log" 2>&1 ||
    [ ! -f "$WINEPREFIX/drive_c/users/Zoë/Die Veks/UserData/Neighborhood.iff" ]; then
    echo "windows-core-tests: vondrel-make-game did not write the game to $game" >&2
    cat "$scratch/make.log" >&2
    status=1
elif ! wine "$build/tools/vondrel-inspect.exe" "$game" >"$scratch/inspect.log" 2>&1 ||
    ! grep -q '^1  Tandor, Mira' "$scratch/inspect.log"; then
    echo "windows-core-tests: vondrel-inspect did not load the game in $game" >&2
    head -20 "$scratch/inspect.log" >&2
    status=1
fi

echo "windows-core-tests: ${passed:-0} core tests passed under Wine" \
    "(${failed:-0} failed, ${skipped:-0} skipped), game tools on '$game':" \
    "$([ $status -eq 0 ] && echo ok || echo see above)"
echo "windows-core-tests: build $((built - started)) s, Wine prefix $((prefixed - built)) s," \
    "tests $((SECONDS - prefixed)) s, total $((SECONDS - started)) s"
if [ -z "$passed" ] || [ "${failed:-0}" != 0 ] || [ "${skipped:-0}" != 0 ]; then
    status=1
fi
exit $status
