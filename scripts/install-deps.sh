#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12; does nothing when all of it
# is already there. Needs root (or sudo) only when something is missing.
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-translations-l10n libgl-dev
    libgtest-dev libgmock-dev
    xvfb xauth
    desktop-file-utils
    python3
    time
    # the Windows build: cross compiler, Wine to run its tests, GoogleTest's sources to build for it
    g++-mingw-w64-x86-64-posix wine wine64 googletest
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installiere fehlende Pakete: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
