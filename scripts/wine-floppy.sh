#!/usr/bin/env bash
# Runs a command with a 1440 KiB diskette in the Wine prefix's drive A: (see wine-run.sh, which
# makes A: a floppy drive without a disk), and takes it out afterwards:
#
#   wine-floppy.sh PREFIX COMMAND [ARGS...]
#
# The diskette is a tmpfs of floppy size, so a write beyond it fails as on a full disk. Only
# root may mount it; otherwise the command runs without the disk and SPLITWERK_WINE_FLOPPY
# unset, and a test that needs the disk says why it is skipped.
set -u
prefix=$(realpath -m -- "$1")
shift
floppy="$prefix/floppy"
if [[ $(id -u) -ne 0 ]]; then
  exec "$@"
fi
mkdir -p "$floppy" || exit 125
if ! mount -t tmpfs -o size=1440k,mode=0777 splitwerk-floppy "$floppy"; then
  rmdir "$floppy"
  exec "$@"
fi
SPLITWERK_WINE_FLOPPY=1 "$@"
status=$?
umount "$floppy" && rmdir "$floppy"
exit "$status"
