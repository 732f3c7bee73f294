#!/usr/bin/env bash
# Installs a finished build into a fresh folder and checks that the program, its desktop
# entry, its icons and its help file land where a desktop expects them, and that the
# installed program runs.
#
#   install_test.sh BUILD_DIR [VERSION]
set -euo pipefail

build=${1:?usage: install_test.sh BUILD_DIR [VERSION]}
version=${2:-}

prefix=$(mktemp -d "${TMPDIR:-/tmp}/vondrel-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
expect_file() {
    [[ -f "$prefix/$1" ]] || fail "$1 was not installed"
}

cmake --install "$build" --prefix "$prefix" >/dev/null

[[ -x "$prefix/bin/vondrel" ]] || fail "bin/vondrel was not installed as a program"
expect_file share/applications/vondrel.desktop
expect_file share/icons/hicolor/256x256/apps/vondrel.png
expect_file share/icons/hicolor/32x32/apps/vondrel.png
if [[ -f "$build/help/VDL.chm" ]]; then
    expect_file share/vondrel/VDL.chm
    cmp -s "$build/help/VDL.chm" "$prefix/share/vondrel/VDL.chm" ||
        fail "share/vondrel/VDL.chm differs from the built help file"
fi

desktop="$prefix/share/applications/vondrel.desktop"
if [[ -f "$desktop" ]]; then
    for line in '[Desktop Entry]' 'Type=Application' 'Name=Vondrel' 'Exec=vondrel' \
        'Icon=vondrel' 'Categories=Game;Utility;'; do
        grep -qxF "$line" "$desktop" || fail "vondrel.desktop lacks the line '$line'"
    done
    grep -q '^Comment=.' "$desktop" || fail "vondrel.desktop has no Comment"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$desktop" || fail "vondrel.desktop does not validate"
    fi
fi

# The pictures are real PNG files of the sizes their folders name.
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}
for size in 256x256 32x32; do
    icon="$prefix/share/icons/hicolor/$size/apps/vondrel.png"
    [[ -f "$icon" ]] || continue
    [[ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" == 89504e470d0a1a0a ]] ||
        fail "$size/apps/vondrel.png is not a PNG file"
    [[ "$(png_size "$icon")" == "$size" ]] ||
        fail "$size/apps/vondrel.png is $(png_size "$icon") pixels"
done

if [[ -x "$prefix/bin/vondrel" ]]; then
    if output=$(QT_QPA_PLATFORM=offscreen "$prefix/bin/vondrel" --version 2>&1); then
        if [[ -n "$version" && "$output" != *"$version"* ]]; then
            fail "the installed program reports '$output', not version $version"
        fi
    else
        fail "the installed program failed to run: $output"
    fi
fi

if ((failures)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "installed and ran from $prefix"
