#!/usr/bin/env bash
# Starts the real program on the demo game, lets it save a picture of its main window and
# checks the picture: the window's client size, and something drawn in it.
#
# Usage: tests/gui_smoke.sh VONDREL VONDREL_MAKE_GAME
# Runs under a virtual X display (xvfb-run); without xvfb-run, on Qt's offscreen platform.
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 VONDREL VONDREL_MAKE_GAME" >&2
    exit 2
fi
vondrel=$1
make_game=$2
for program in "$vondrel" "$make_game"; do
    if [ ! -x "$program" ]; then
        echo "gui_smoke: $program is not an executable program" >&2
        exit 2
    fi
done

want_width=582
want_height=355
min_colours=50
min_bytes=20480

work=$(mktemp -d "${TMPDIR:-/tmp}/vondrel-gui-smoke.XXXXXX")
trap 'rm -rf "$work"' EXIT
# A folder name that is not UTF-8: the program must take it as the system gives it.
game=$work/game-$'\xff\xfe'
shot=$work/window.png

fail() {
    echo "gui_smoke: FAILED: $*" >&2
    exit 1
}

"$make_game" "$game" || fail "vondrel-make-game could not write the demo game"
[ -f "$game/VEKS.EXE" ] || fail "the demo game has no VEKS.EXE"

# Keep the run away from the user's own settings.
export XDG_CONFIG_HOME=$work/config
export XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

if command -v xvfb-run >/dev/null 2>&1; then
    echo "gui_smoke: running under xvfb-run"
    runner=(env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1024x768x24")
else
    echo "gui_smoke: xvfb-run not found, running on the offscreen platform instead"
    runner=(env QT_QPA_PLATFORM=offscreen)
fi

status=0
timeout 120 "${runner[@]}" "$vondrel" --game-dir "$game" --screenshot "$shot" \
    >"$work/out.txt" 2>&1 || status=$?
cat "$work/out.txt"
[ "$status" -eq 0 ] || fail "vondrel exited with status $status"
[ -s "$shot" ] || fail "no screenshot was written"

# The size from the PNG header: the signature, then the IHDR chunk with width and height.
if command -v python3 >/dev/null 2>&1; then
    size=$(python3 -c '
import struct, sys
with open(sys.argv[1], "rb") as f:
    head = f.read(24)
if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
    sys.exit("not a PNG file")
print("%dx%d" % struct.unpack(">II", head[16:24]))
' "$shot") || fail "the screenshot is not a PNG file"
elif command -v identify >/dev/null 2>&1; then
    size=$(identify -format '%wx%h' "$shot") || fail "the screenshot cannot be read"
else
    # Bytes 16 to 23, two big-endian 32-bit numbers.
    read -r -a header < <(od -An -v -tu1 -j16 -N8 "$shot")
    [ "${#header[@]}" -eq 8 ] || fail "the screenshot is not a PNG file"
    size=$(((header[0] << 24) | (header[1] << 16) | (header[2] << 8) | header[3]))x$(((header[4] << 24) | (header[5] << 16) | (header[6] << 8) | header[7]))
fi
echo "gui_smoke: screenshot is $size"
[ "$size" = "${want_width}x${want_height}" ] ||
    fail "the screenshot is $size, not ${want_width}x${want_height}"

# Not blank: many distinct colours, or (without ImageMagick) a file too big for a plain one.
colours=""
if command -v convert >/dev/null 2>&1; then
    colours=$(convert "$shot" -format %k info: 2>/dev/null || true)
fi
if [[ "$colours" =~ ^[0-9]+$ ]]; then
    echo "gui_smoke: $colours distinct colours"
    [ "$colours" -gt "$min_colours" ] ||
        fail "the screenshot has only $colours colours; the window looks blank"
else
    bytes=$(wc -c <"$shot")
    echo "gui_smoke: ImageMagick not found; the screenshot takes $bytes bytes"
    [ "$bytes" -gt "$min_bytes" ] ||
        fail "the screenshot takes only $bytes bytes; the window looks blank"
fi

echo "gui_smoke: passed"
