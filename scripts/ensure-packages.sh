#!/usr/bin/env bash
# Installs the Debian packages Vondrel needs to build, test and run, when they are missing.
# Usage: scripts/ensure-packages.sh [extra packages...]
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    libchm-dev fp-utils
    xvfb xauth fonts-liberation imagemagick
    "$@"
)

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
