#!/usr/bin/env bash
# Installs the Debian packages Vondrel needs, when they are missing: to build and run it, and
# with --tests also to test, fuzz, benchmark and check its packaging.
# Usage: scripts/ensure-packages.sh [--tests] [extra packages...]
set -euo pipefail

# Building and running: compiler and build tools, Qt 6 with its platform plugins, chmlib
# for the help viewer and chmcmd (fp-utils) for the help file, and the fonts of the skin.
packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-qpa-plugins libgl-dev
    libchm-dev fp-utils
    fonts-liberation
)
if [[ ${1:-} == --tests ]]; then
    shift
    packages+=(
        # unit tests, benchmarks and the fuzzers
        libgtest-dev libgmock-dev libbenchmark-dev
        clang libclang-rt-14-dev
        # the window under a virtual display, and a look at its picture
        xvfb xauth imagemagick python3
        # validators of the installed files and the Debian package
        desktop-file-utils appstream groff-base libxml2-utils dpkg-dev lintian
    )
fi
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    sudo=(sudo)
elif command -v sudo >/dev/null 2>&1; then
    echo "Some packages are missing; sudo will ask for your password to install them."
    sudo=(sudo)
else
    echo "These Debian packages are missing and I cannot install them without root or sudo:" >&2
    echo "    ${missing[*]}" >&2
    echo "Install them (apt-get install ${missing[*]}) and run this again." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
