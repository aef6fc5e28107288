#!/usr/bin/env bash
# Splitwerk99-Setup.exe as a user meets it, in the window tests' Wine prefix: a silent install, its files,
# links and uninstall entry; the installed program driven by the window tests (a run into a folder, its own
# Send To link); a silent uninstall as the program list starts it, after which nothing of it is left.
#   setup-under-wine.sh PREFIX SHIPPED_DIR WINDOW_TESTS.exe VERSION_TEXT [SETUP.exe]
set -u
scripts="$(cd "$(dirname "$0")/../../../scripts" && pwd)"
prefix=$1 shipped=$2 window_tests=$3 version=$4 setup=${5:-}
[[ -f $setup ]] || { echo "[  SKIPPED ] no Splitwerk99-Setup.exe: makensis is missing (scripts/install-deps.sh)"; exit 0; }
# A Wine session started without a display would keep the next program's windows off the screen:
# what shows windows runs on a display of its own, and every other session is ended after use.
wine=("$scripts/wine-run.sh" "--default-prefix=$prefix")
on_display=("$scripts/wine-on-display.sh" "--default-prefix=$prefix")
trap '"${wine[@]}" --kill >/dev/null 2>&1' EXIT
folder="$prefix/drive_c/Program Files/Splitwerk 99"
menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Splitwerk 99"
sendto="$prefix/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/SendTo/Splitwerk 99.lnk"
windows_folder='C:\Program Files\Splitwerk 99'
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Splitwerk99'
failed=0
expect() { "${@:2}" || { echo "FAILED: $1"; failed=1; }; }

expect "silent install" "${on_display[@]}" "$setup" /S
for file in SPLITWERK.exe QUIL.SYS; do expect "$file installed" cmp "$shipped/$file" "$folder/$file"; done
for link in "$menu/Splitwerk 99.lnk" "$sendto"; do
    expect "$link leads to the program" grep -qaF "$windows_folder\\SPLITWERK.exe" "$link"
done
entry="$("${wine[@]}" reg query "$key" | tr -d '\r' | tr -s ' ')" && "${wine[@]}" --kill >/dev/null 2>&1
for value in "DisplayName REG_SZ Splitwerk 99" "DisplayVersion REG_SZ $version" "Publisher REG_SZ Splitwerk-Team" \
    "DisplayIcon REG_SZ \"$windows_folder\\SPLITWERK.exe\",0" "UninstallString REG_SZ \"$windows_folder\\Uninstall.exe\"" \
    "QuietUninstallString REG_SZ \"$windows_folder\\Uninstall.exe\" /S" "NoModify REG_DWORD 0x1" "NoRepair REG_DWORD 0x1"; do
    expect "uninstall entry: $value" grep -qxF " $value" <<<"$entry"
done
size=$(($(sed -n 's/^ EstimatedSize REG_DWORD //p' <<<"$entry"))) kilobytes=$(($(cat "$folder"/* | wc -c) / 1024))
expect "EstimatedSize $size for $kilobytes KB" test "$size" -ge $((kilobytes - 2)) -a "$size" -le "$kilobytes"
SPLITWERK_INSTALLED_PROGRAM="$windows_folder\\SPLITWERK.exe" expect "the installed program" "${on_display[@]}" \
    "$window_tests" --gtest_filter='*ARunIntoAFolder*:*WithoutAFileItMakesItsLink*'

# The uninstaller copies itself away, returns at once and works on from the copy.
expect "silent uninstall" "${wine[@]}" "$windows_folder\\Uninstall.exe" /S
for _ in {1..100}; do "${wine[@]}" reg query "$key" >/dev/null 2>&1 || break; sleep 0.3; done
for gone in "$folder" "$menu" "$sendto"; do expect "$gone removed" test ! -e "$gone"; done
expect "uninstall entry removed" test -z "$("${wine[@]}" reg query "$key" 2>/dev/null | grep DisplayName)"
exit "$failed"
