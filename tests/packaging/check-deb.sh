#!/usr/bin/env bash
# The Debian package as apt gets it: built by CPack, its control data and files, lintian, and an
# install and purge in a throwaway root. Usage: check-deb.sh <build folder>
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
skip() { echo "übersprungen: $*"; exit 77; }
fail() { echo "FEHLER: $*"; exit 1; }
command -v dpkg-shlibdeps >/dev/null || skip "dpkg-shlibdeps fehlt (Paket dpkg-dev)"
(cd "$build" && cpack -G DEB -B "$work" >/dev/null)
deb="$(echo "$work"/splitwerk99_*_amd64.deb)"
[ -f "$deb" ] || fail "kein Paket in $work"

depends="$(dpkg-deb -f "$deb" Depends)"
for need in libqt6widgets6 qt6-qpa-plugins qt6-translations-l10n; do
    grep -qw "$need" <<<"$depends" || fail "Depends ohne $need: $depends"
done
# The double-click restore opens a terminal: one is recommended, a real package named first.
recommends="$(dpkg-deb -f "$deb" Recommends)"
grep -Eq '(^|, )[a-z0-9][a-z0-9.+-]* \| x-terminal-emulator(,|$)' <<<"$recommends" ||
    fail "Recommends ohne Terminal (erst ein echtes Paket, dann x-terminal-emulator): $recommends"
files="$(dpkg-deb -c "$deb" | awk '{print $6}')"
for f in bin/splitwerk libexec/splitwerk99/{splitwerk,QUIL.SYS,windows/QUIL.SYS} \
    share/applications/splitwerk99{,-quil}.desktop share/icons/hicolor/{16x16,48x48,128x128}/apps/splitwerk99.png \
    share/mime/packages/splitwerk99.xml share/man/{de/,}man1/splitwerk.1.gz share/doc/splitwerk99/{copyright,changelog.gz}; do
    grep -qx "./usr/$f" <<<"$files" || fail "$f fehlt im Paket"
done
grep -Ev '^\./usr/((bin|libexec|share)/.*)?$' <<<"$files" && fail "Dateien außerhalb von /usr/bin, /usr/libexec, /usr/share"
if command -v lintian >/dev/null; then
    lintian --fail-on error,warning "$deb"
else
    echo "lintian fehlt: nicht geprüft"
fi

[ "$(id -u)" -eq 0 ] || skip "Installation in ein Wegwerf-Wurzelverzeichnis braucht root (dpkg --root)"
root="$work/root"
mkdir -p "$root/var/lib/dpkg/"{info,updates,triggers}
touch "$root/var/lib/dpkg/status"
# Only the package's own dependencies are missing there; apt brings them on a real system.
dpkg --root="$root" --log=/dev/null --force-depends -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; exit 1; }
quil="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$root/usr/share/applications/splitwerk99-quil.desktop")"
cmp "$root$quil" "$build/QUIL.SYS" || fail "Exec=$quil ist nicht das gebaute QUIL.SYS"
[ "$(tail -c 1 "$root$quil" | od -An -c | tr -d ' ')" = '\n' ] || fail "QUIL.SYS endet nicht mit einem Zeilenvorschub"
dpkg --root="$root" --log=/dev/null --purge splitwerk99 >/dev/null
left="$(find "$root" -mindepth 1 ! -path "$root/var/lib/dpkg*" ! -path "$root/var" ! -path "$root/var/lib")"
[ -z "$left" ] || fail "nach dem Entfernen geblieben: $left"
echo "Paket geprüft: $(basename "$deb")"
