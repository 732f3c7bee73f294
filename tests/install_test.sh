#!/usr/bin/env bash
# Installs a finished build into a fresh folder and checks that the program, its desktop
# entry, AppStream metadata, manual page, icons and help file land where a desktop expects
# them and pass their validators, and that the installed program answers --help and
# --version without a display.
#
#   install_test.sh BUILD_DIR VERSION         the installed tree
#   install_test.sh --deb BUILD_DIR VERSION   the Debian package, checked with lintian
#
# A check whose tool is not installed is skipped with a message; the --deb check as a whole
# exits 77 (skipped) without lintian or dpkg-shlibdeps.
set -euo pipefail

deb=0
if [[ ${1:-} == --deb ]]; then
    deb=1
    shift
fi
build=${1:?usage: install_test.sh [--deb] BUILD_DIR VERSION}
version=${2:?usage: install_test.sh [--deb] BUILD_DIR VERSION}
app_id=io.github.vondrel.Vondrel

work=$(mktemp -d "${TMPDIR:-/tmp}/vondrel-install.XXXXXX")
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
skip() {
    echo "SKIP: $*"
}
have() {
    command -v "$1" >/dev/null 2>&1
}
finish() {
    if ((failures)); then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "$1"
    exit 0
}

if ((deb)); then
    for tool in lintian dpkg-shlibdeps dpkg-deb; do
        if ! have "$tool"; then
            skip "$tool is not installed (apt-get install lintian dpkg-dev); the package was not checked"
            exit 77
        fi
    done
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log" >&2; fail "cpack could not build the package"; finish ""; }
    package="$work/vondrel_${version}_$(dpkg --print-architecture).deb"
    [[ -f "$package" ]] || { fail "cpack wrote no $(basename "$package")"; finish ""; }

    fields=$(dpkg-deb --field "$package" Section Depends)
    grep -qx 'Section: utils' <<<"$fields" || fail "the package's section is not utils"
    for dependency in qt6-qpa-plugins libqt6widgets6 libchm1; do
        grep -q "^Depends:.*\b$dependency\b" <<<"$fields" ||
            fail "the package does not depend on $dependency"
    done

    report=$(lintian --display-info "$package" 2>/dev/null) || true
    [[ -n "$report" ]] && echo "$report"
    if grep -q '^E:' <<<"$report"; then
        fail "lintian reports errors"
    fi
    finish "$(basename "$package") built and passed lintian"
fi

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

expect_file() {
    [[ -f "$prefix/$1" ]] || fail "$1 was not installed"
}
[[ -x "$prefix/bin/vondrel" ]] || fail "bin/vondrel was not installed as a program"
desktop=share/applications/$app_id.desktop
metainfo=share/metainfo/$app_id.metainfo.xml
manpage=share/man/man1/vondrel.1.gz
for file in "$desktop" "$metainfo" "$manpage" share/doc/vondrel/copyright \
    share/doc/vondrel/changelog.gz share/doc/vondrel/COPYING; do
    expect_file "$file"
done
if [[ -f "$build/help/VDL.chm" ]]; then
    expect_file share/vondrel/VDL.chm
    cmp -s "$build/help/VDL.chm" "$prefix/share/vondrel/VDL.chm" ||
        fail "share/vondrel/VDL.chm differs from the built help file"
fi

# Desktop entry: the launcher's fields, and no validator message at all (hints included).
if [[ -f "$prefix/$desktop" ]]; then
    for line in 'Type=Application' 'Exec=vondrel' 'Icon=vondrel' 'Categories=Utility;'; do
        grep -qxF "$line" "$prefix/$desktop" || fail "$desktop lacks the line '$line'"
    done
    if have desktop-file-validate; then
        messages=$(desktop-file-validate "$prefix/$desktop" 2>&1) && [[ -z "$messages" ]] ||
            fail "$desktop does not validate cleanly: $messages"
    else
        skip "desktop-file-validate is not installed (desktop-file-utils)"
    fi
fi

if [[ -f "$prefix/$metainfo" ]]; then
    grep -qF "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$prefix/$metainfo" ||
        fail "$metainfo does not launch $app_id.desktop"
    grep -qF "<release version=\"$version\"" "$prefix/$metainfo" ||
        fail "$metainfo has no release $version"
    if have appstreamcli; then
        appstreamcli validate --no-net "$prefix/$metainfo" >"$work/appstream.log" 2>&1 ||
            { cat "$work/appstream.log" >&2; fail "$metainfo does not validate"; }
    else
        skip "appstreamcli is not installed (appstream)"
    fi
fi

if [[ -f "$prefix/$manpage" ]]; then
    if have groff; then
        messages=$(gzip -dc "$prefix/$manpage" | groff -man -ww -z 2>&1) && [[ -z "$messages" ]] ||
            fail "$manpage has formatting problems: $messages"
    else
        skip "groff is not installed; the manual page was not formatted"
    fi
    for option in --game-dir --screenshot --help --version KWAL.conf Vondrel/backups WINEPREFIX; do
        gzip -dc "$prefix/$manpage" | sed 's/\\-/-/g' | grep -qF -- "$option" ||
            fail "$manpage does not mention $option"
    done
fi

# Icons: real PNG files of the sizes their folders name, and a well-formed SVG.
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}
for n in 16 22 24 32 48 64 128 256; do
    size=${n}x$n
    icon="$prefix/share/icons/hicolor/$size/apps/vondrel.png"
    [[ -f "$icon" ]] || { fail "$size/apps/vondrel.png was not installed"; continue; }
    [[ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" == 89504e470d0a1a0a ]] ||
        fail "$size/apps/vondrel.png is not a PNG file"
    [[ "$(png_size "$icon")" == "$size" ]] ||
        fail "$size/apps/vondrel.png is $(png_size "$icon") pixels"
done
svg="$prefix/share/icons/hicolor/scalable/apps/vondrel.svg"
if [[ -f "$svg" ]]; then
    grep -q '<svg [^>]*viewBox="0 0 256 256"' "$svg" || fail "vondrel.svg is not a square SVG picture"
    if have xmllint; then
        xmllint --noout "$svg" 2>&1 || fail "vondrel.svg is not well-formed XML"
    else
        skip "xmllint is not installed (libxml2-utils); vondrel.svg was not parsed"
    fi
else
    fail "scalable/apps/vondrel.svg was not installed"
fi

# The installed program without any display: exit status, the stream, and what it says.
run_bare() {
    env -u DISPLAY -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY "$prefix/bin/vondrel" "$@" \
        >"$work/out" 2>"$work/err"
}
if [[ -x "$prefix/bin/vondrel" ]]; then
    # arguments | exit status | text expected on standard output (or, for errors, standard error)
    while IFS='|' read -r args status expected; do
        read -ra argv <<<"$args"
        code=0
        run_bare "${argv[@]}" || code=$?
        stream="$work/out"
        ((status)) && stream="$work/err"
        if [[ $code -ne $status ]]; then
            fail "vondrel $args exited with $code, not $status: $(cat "$work/err")"
        elif ! grep -qF -- "$expected" "$stream"; then
            fail "vondrel $args did not print '$expected': $(cat "$stream")"
        elif ((status == 0)) && [[ -s "$work/err" ]]; then
            fail "vondrel $args wrote to standard error: $(cat "$work/err")"
        fi
    done <<EOF_CASES
--version|0|Vondrel $version
-v|0|$version
--help|0|--game-dir <DIR>
-h|0|--screenshot <FILE>
--no-such-option|1|no-such-option
--game-dir|1|--game-dir
EOF_CASES
fi

finish "installed into $prefix and checked"
