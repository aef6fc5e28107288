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
    # strace, to see that the programs flush what they wrote with the system's own calls
    strace
    # par2, an independent reader of the recovery data: its verify and repair must accept it;
    # fuse3 and its headers for the test file system that answers read errors where told
    par2 libfuse3-dev fuse3
    # the Windows build: 32-bit cross compilers (the win32 thread model for the programs that
    # ship, since its runtime imports only what Windows XP has; the posix model for the tests,
    # because GoogleTest needs std::mutex), Wine with its 32-bit half to run them, GoogleTest's
    # sources to build for it; NSIS for Splitwerk99-Setup.exe. The 64-bit compilers build the
    # same programs for 64-bit Wine on a machine that cannot start 32-bit ones (scripts/test.sh).
    g++-mingw-w64-i686-win32 g++-mingw-w64-i686-posix wine wine64 wine32:i386 googletest nsis
    g++-mingw-w64-x86-64-win32 g++-mingw-w64-x86-64-posix
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
# A mirror in the middle of a sync serves an index that does not match its release file, and
# apt-get update then fails although the other lists came: try again after a pause, and in the
# end go on with the lists there are.
for attempt in 1 2 3; do
    if $SUDO apt-get update -qq -o DPkg::Lock::Timeout=300; then
        break
    fi
    if [ "$attempt" -eq 3 ]; then
        echo "apt-get update blieb unvollständig; es geht mit den vorhandenen Paketlisten weiter." >&2
    else
        sleep $((attempt * 20))
    fi
done
install() { $SUDO apt-get install -y -qq -o DPkg::Lock::Timeout=300 --no-install-recommends "$@"; }

# A library that both architectures install must have one version in both. When the i386 list of
# the security archive did not come, the i386 halves exist only in the release's own version while
# the amd64 halves may already be newer: then the release's versions are asked for (apt's -t), and
# each library whose amd64 half is newer than any i386 half is brought to the version both have,
# named on the way (a downgrade of a security update on this machine).
install_from_release() {
    local codename request added out dep v386 vamd
    codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
    request=("$@")
    for _ in $(seq 1 10); do
        out="$($SUDO apt-get install -s -t "$codename" --allow-downgrades --no-install-recommends "${request[@]}" 2>&1 || true)"
        if ! grep -q '^E:' <<<"$out"; then
            $SUDO apt-get install -y -qq -o DPkg::Lock::Timeout=300 -t "$codename" --allow-downgrades --no-install-recommends "${request[@]}"
            return
        fi
        added=0
        for dep in $(grep -oE '[A-Za-z0-9.+-]+:i386' <<<"$out" | sed 's/:i386$//' | sort -u); do
            v386="$(apt-cache policy "$dep:i386" | awk '/Candidate:/ {print $2}')"
            vamd="$(dpkg-query -W -f='${Version}' "$dep:amd64" 2>/dev/null || true)"
            if [ -n "$vamd" ] && [ -n "$v386" ] && [ "$v386" != "(none)" ] && [ "$vamd" != "$v386" ] &&
                ! printf '%s\n' "${request[@]}" | grep -qx "$dep:amd64=.*"; then
                echo "Für $dep:i386 wird $dep:amd64 von $vamd auf $v386 gebracht (die i386-Liste ist unvollständig)." >&2
                request+=("$dep:amd64=$v386" "$dep:i386=$v386")
                added=1
            fi
        done
        [ "$added" -eq 1 ] || return 1
    done
    return 1
}

if ! install "${missing[@]}" && ! install_from_release "${missing[@]}"; then
    # One package that cannot be had must not hide which one it is: each is tried alone, and
    # those that fail are named with apt's reason.
    failed=()
    for p in "${missing[@]}"; do
        if ! install "$p" && ! install_from_release "$p"; then
            failed+=("$p")
        fi
    done
    if [ ${#failed[@]} -ne 0 ]; then
        echo "Nicht installierbar: ${failed[*]} (Gründe oben in der Ausgabe von apt-get)" >&2
        exit 1
    fi
fi
