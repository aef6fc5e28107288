#!/usr/bin/env bash
# A set's QUIL.EXE gets the type the package registers (also when the file is a Windows program),
# only that exact name does, and the type opens "Mit Splitwerk 99 zusammensetzen".
# Usage: check-mime.sh <source folder> <QUIL.SYS>
set -euo pipefail
for tool in update-mime-database update-desktop-database gio; do
    command -v "$tool" >/dev/null || { echo "übersprungen: $tool fehlt"; exit 77; }
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME="$work/share" XDG_DATA_DIRS=/usr/share XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_DATA_HOME/mime/packages" "$XDG_DATA_HOME/applications" "$work/linux" "$work/windows"
cp "$1/packaging/linux/splitwerk99.xml" "$XDG_DATA_HOME/mime/packages/"
sed "s|@QUIL@|$2|" "$1/packaging/linux/splitwerk99-quil.desktop.in" >"$XDG_DATA_HOME/applications/splitwerk99-quil.desktop"
update-mime-database "$XDG_DATA_HOME/mime"
update-desktop-database "$XDG_DATA_HOME/applications"

cp "$2" "$work/linux/QUIL.EXE"
printf 'MZ\220\0' | tee "$work/windows/QUIL.EXE" "$work/windows/quil.exe" "$work/windows/SETUP.EXE" >/dev/null
status=0
while read -r file expected; do
    type="$(gio info -a standard::content-type "$work/$file" | sed -n 's/^ *standard::content-type: //p')"
    [ "$type" = "$expected" ] || { echo "FEHLER: $file ist $type, erwartet $expected"; status=1; }
done <<'CASES'
linux/QUIL.EXE application/x-splitwerk99-quil
windows/QUIL.EXE application/x-splitwerk99-quil
windows/quil.exe application/x-ms-dos-executable
windows/SETUP.EXE application/x-ms-dos-executable
CASES
# Taken whole first: piped into grep -q, gio could die of a closed pipe after the match (pipefail).
defaults="$(LC_ALL=C gio mime application/x-splitwerk99-quil)"
grep -q '^Default application.*: splitwerk99-quil.desktop$' <<<"$defaults" ||
    { echo "FEHLER: der Typ öffnet nicht splitwerk99-quil.desktop"; status=1; }
exit "$status"
