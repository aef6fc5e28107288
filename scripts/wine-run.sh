#!/usr/bin/env bash
# Runs a Windows program under Wine; used as CMAKE_CROSSCOMPILING_EMULATOR
# (see cmake/MingwToolchain.cmake), so ctest and gtest_discover_tests run
# the cross-compiled .exe files through it.
#
#   wine-run.sh [--default-prefix=DIR] PROGRAM.exe [ARGS...]   (a Linux path, or a
#                                            Windows one such as A:\QUIL.EXE)
#   wine-run.sh [--default-prefix=DIR] --init       create the prefix only
#   wine-run.sh [--default-prefix=DIR] --shutdown   wineserver -w (wait)
#   wine-run.sh [--default-prefix=DIR] --kill       wineserver -k, then -w
#   wine-run.sh --probe                             exit 0 when Wine can run 32-bit programs
#                                            here; otherwise say why and exit 125
#
# SPLITWERK_WINEARCH=win64 (or a 64-bit PROGRAM.exe, which sets it) runs 64-bit programs with
# 64-bit Wine in a 64-bit prefix. Nothing 64-bit is shipped: that build exists for machines
# that cannot start a 32-bit process at all (see can_run_32bit), so that the Windows code
# still runs its tests there. --probe answers for the arch that SPLITWERK_WINEARCH names.
#
# Wine prefix, first that is set:
#   $SPLITWERK_WINEPREFIX, --default-prefix=DIR (the toolchain file passes
#   <build>/wineprefix), ${TMPDIR:-/tmp}/splitwerk-wineprefix-<uid>.
# The prefix is created once with `wineboot -i` under an flock, so tests
# started in parallel by `ctest -jN` wait for one initialisation and then
# share the prefix. A file <prefix>/.splitwerk-ready marks a finished one
# and holds its WINEARCH (win32); a prefix without it is made anew.
#
# The exit status of the Windows program is passed through (Wine gives the
# low 8 bits of the Windows exit code; a missing .exe gives 127 here).
# stdout/stderr are passed through unchanged: msvcrt text mode writes CR LF.
# That is fine for gtest_discover_tests: CMake's execute_process() drops the
# CR of every CR LF before GoogleTestAddTests.cmake parses the list
# (checked with CMake 3.25).
#
# Environment knobs:
#   SPLITWERK_WINEDEBUG      WINEDEBUG value (default: -all,err+seh: quiet, but a
#                            crash still says where it happened)
#   SPLITWERK_WINE_STRIP_CR  1 = remove CR from stdout for every run
#   DISPLAY                  passed through to the program as given (unset
#                            it for headless behaviour); the prefix is always
#                            initialised without a display.
#
#   SPLITWERK_WINESERVER_PERSIST  seconds the wineserver stays up after the
#                            last Wine program ended (default 60: on a busy
#                            machine the gap between two tests can pass 10 s,
#                            and a server going down while the next program
#                            starts skips the warm-up below, so that program
#                            starts rpcss itself and holds ctest's pipe open)
#
# The wineserver of the prefix (and services.exe etc.) exits on its own
# PERSIST s (+~2 s) after the last Wine program ended. Nothing here kills it
# after a run, because a parallel test may still use it. After ctest call
# `wine-run.sh --kill` (immediate) or `--shutdown` (waits for the timeout),
# with the same prefix, so no Wine process outlives the CI job.
#
# gtest_discover_tests(... DISCOVERY_MODE PRE_TEST) runs --gtest_list_tests
# with a default DISCOVERY_TIMEOUT of 5 s; the first initialisation takes
# longer, so either run `wine-run.sh --init` before ctest or give
# gtest_discover_tests a DISCOVERY_TIMEOUT of a few minutes (or both).
set -u

# Wine runs a 32-bit Windows program in a 32-bit Linux process. Some kernels (and some sandboxes
# of virtual machines) cannot start one at all ("Exec format error"), whatever is installed.
can_run_32bit() {
  if [[ ! -x /usr/lib/wine/wine ]]; then
    echo "Wine cannot run 32-bit programs here: wine32:i386 is not installed (scripts/install-deps.sh)" >&2
    return 1
  fi
  local why
  if ! why=$(/usr/lib/wine/wine --version 2>&1 >/dev/null); then
    echo "this machine cannot start 32-bit programs, so Wine cannot run the Windows programs: ${why##*: }" >&2
    return 1
  fi
}
can_run_64bit() {
  local why
  if ! why=$(/usr/lib/wine/wine64 --version 2>&1 >/dev/null); then
    echo "64-bit Wine cannot run here: ${why##*: }" >&2
    return 1
  fi
}
# A PE32+ file (64-bit) has the magic 0x20b right after the PE header's 20-byte file header.
is_64bit_program() {
  local pe
  pe=$(od -An -tu4 -j60 -N4 -- "$1" 2>/dev/null) || return 1
  [[ "$(od -An -tx2 -j$((pe + 24)) -N2 -- "$1" 2>/dev/null)" == " 020b" ]]
}
arch=${SPLITWERK_WINEARCH:-win32}
can_run() { if [[ "$arch" == win64 ]]; then can_run_64bit; else can_run_32bit; fi; }
if [[ "${1:-}" == --probe ]]; then
  can_run || exit 125
  exit 0
fi

default_prefix=""
shutdown_mode=""
case "${1:-}" in
  --default-prefix=*) default_prefix=${1#--default-prefix=}; shift ;;
esac
case "${1:-}" in
  --shutdown|--kill|--init) shutdown_mode=$1; shift ;;
esac

prefix=${SPLITWERK_WINEPREFIX:-${default_prefix:-${TMPDIR:-/tmp}/splitwerk-wineprefix-$(id -u)}}
prefix=$(realpath -m -- "$prefix")   # Wine insists on an absolute path
export WINEPREFIX="$prefix"
# The Windows programs of this project are 32-bit (they must run on Windows XP), so the prefix
# is a 32-bit one, like the old PCs; it needs Wine's 32-bit half (wine32:i386). Debian's `wine`
# chooses that half whenever it is installed, so the 64-bit build names wine64 itself.
if [[ $# -ge 1 && -f "$1" ]] && is_64bit_program "$1"; then
  arch=win64
fi
export WINEARCH=$arch
wine=wine
if [[ "$arch" == win64 ]]; then
  wine=/usr/lib/wine/wine64
  export WINELOADER=$wine
fi
export WINEDEBUG="${SPLITWERK_WINEDEBUG:--all,err+seh}"
# No Mono/Gecko install dialogs; no winemenubuilder (turns Start-menu and
# desktop shortcuts into .desktop files under $HOME).
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

if [[ -n "$shutdown_mode" && "$shutdown_mode" != --init ]]; then
  [[ -d "$prefix" ]] || exit 0
  if [[ "$shutdown_mode" == --kill ]]; then
    wineserver -k 2>/dev/null || true
  fi
  exec wineserver -w
fi

if [[ $# -lt 1 && "$shutdown_mode" != --init ]]; then
  echo "usage: $0 [--default-prefix=DIR] PROGRAM.exe [ARGS...] | --init | --shutdown | --kill" >&2
  exit 2
fi
if [[ $# -ge 1 && "$1" == *.[eE][xX][eE] && "$1" != [A-Za-z]:\\* && ! -f "$1" ]]; then
  # wine itself would print a ShellExecuteEx error and exit 1.
  echo "wine-run.sh: no such program: $1" >&2
  exit 127
fi

# The marker names the prefix's architecture: a prefix made for 64-bit programs (as this
# script once did) cannot run 32-bit ones and is made anew.
ready="$prefix/.splitwerk-ready"
if [[ "$(cat "$ready" 2>/dev/null)" != "$WINEARCH" ]]; then
  can_run || exit 125
  mkdir -p "$(dirname "$prefix")" || exit 125
  exec 9>"$prefix.lock" || exit 125
  if ! flock -w 900 9; then
    echo "wine-run.sh: timed out waiting for $prefix.lock" >&2
    exit 125
  fi
  if [[ "$(cat "$ready" 2>/dev/null)" != "$WINEARCH" ]]; then
    # A wineserver may still serve the old prefix.
    wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
    t0=$(date +%s%N)
    if ! (unset DISPLAY; "$wine" wineboot -i && wineserver -w) >"$prefix.init.log" 2>&1; then
      echo "wine-run.sh: wineboot -i failed for $prefix:" >&2
      cat "$prefix.init.log" >&2
      exit 125
    fi
    t1=$(date +%s%N)
    echo "$WINEARCH" >"$ready"
    echo "wine-run.sh: initialised WINEPREFIX=$prefix in $(( (t1 - t0) / 1000000 )) ms" >&2
  fi
  flock -u 9
  exec 9>&-
fi

# Drive A: is a floppy drive without a disk: Wine takes a drive whose link leads nowhere for a
# removable drive whose medium is out. scripts/wine-floppy.sh puts a medium there for a test.
[[ -L "$prefix/dosdevices/a:" ]] || ln -s "$prefix/floppy" "$prefix/dosdevices/a:"

[[ "$shutdown_mode" == --init ]] && exit 0

# Start the wineserver ourselves, detached, before the program runs:
# - The first Wine process of a wineserver session also starts wineboot
#   --init, services.exe, winedevice.exe, plugplay.exe and svchost.exe. They
#   inherit that process's stdout/stderr and live until the wineserver exits.
#   Under ctest (stdout/stderr = a pipe read to EOF) every test then took
#   ~2.5 s instead of ~0.1 s. So the first process is a throw-away
#   `wine hostname.exe` whose fds are all /dev/null or closed.
# - With the default persistence (server started implicitly, 3 s) a program
#   started ~1 s after the previous one ended still took ~1 s and the server
#   went down anyway; a server started with an explicit `-pN` stays warm
#   (~0.06 s per trivial program) until N s after the last program ended.
# - A program that uses COM (the Send To link) makes Wine start rpcss.exe on
#   demand, which would inherit that program's stdout/stderr and live until
#   the wineserver exits, keeping ctest waiting for that long. The warm-up
#   starts it with its own fds closed, so later programs find it running.
#   (The desktop process that a window or a COM apartment starts, explorer.exe
#   /desktop, ends about 2 s after the last program that used it.)
# `wineserver -k0` sends signal 0: exit status 0 iff a server runs.
# Programs started together (ctest -j) take turns here: one warms the server up while the others
# wait, since a program that found the server up before rpcss ran would start rpcss itself and
# hold ctest's pipe for as long as the server lives.
exec 8>"$prefix.warm.lock" && flock -w 300 8
if ! wineserver -k0 2>/dev/null; then
  (
    for fd in /proc/$BASHPID/fd/*; do
      n=${fd##*/}
      if [[ "$n" =~ ^[0-9]+$ ]] && (( n > 2 )); then eval "exec $n>&-" 2>/dev/null; fi
    done
    exec </dev/null >/dev/null 2>&1
    wineserver -p"${SPLITWERK_WINESERVER_PERSIST:-60}" || true
    "$wine" hostname.exe || true
    "$wine" net.exe start rpcss || true
  )
fi
exec 8>&-

if [[ "${SPLITWERK_WINE_STRIP_CR:-0}" == 1 ]]; then
  "$wine" "$@" | tr -d '\r'
  exit "${PIPESTATUS[0]}"
fi
exec "$wine" "$@"
