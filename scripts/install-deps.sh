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
    # the Debian package: dpkg-shlibdeps (and file, with which CPack finds the programs) for its
    # dependencies, lintian to check it, shared-mime-info and gio for the type of QUIL.EXE
    dpkg-dev file lintian shared-mime-info libglib2.0-bin
    python3
    time
    # the Windows build: 32-bit cross compilers (the win32 thread model for the programs that
    # ship, since its runtime imports only what Windows XP has; the posix model for the tests,
    # because GoogleTest needs std::mutex), Wine with its 32-bit half to run them, GoogleTest's
    # sources to build for it; NSIS for Splitwerk99-Setup.exe
    g++-mingw-w64-i686-win32 g++-mingw-w64-i686-posix wine wine64 wine32:i386 googletest nsis
)

missing=()
for p in "${packages[@]}"; do
    # Read whole before matching: under pipefail a grep -q that stops early can fail its writer.
    if [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)" != 'install ok installed' ]; then
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
# wine32 is an i386 package: without that architecture apt does not know it.
if ! grep -qx i386 <<<"$(dpkg --print-foreign-architectures)"; then
    $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
