#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: in a normal build, in a build with
# AddressSanitizer and UndefinedBehaviorSanitizer, and in a Windows build (mingw-w64) under Wine.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"

jobs="$(nproc)"
run_suite() {
    local build="$1"
    shift
    cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
    cmake --build "$build" -j "$jobs"
    (cd "$build" && ctest --output-on-failure -j "$jobs" --timeout 600)
}

echo "== Tests =="
run_suite "$here/build-test"
echo "== Tests unter AddressSanitizer und UndefinedBehaviorSanitizer =="
# The Windows QUIL.EXE is a mingw build either way; its runs under Wine belong to the first suite.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_suite "$here/build-sanitize" -DSPLITWERK_SANITIZE=ON -DSPLITWERK_WINDOWS_REASSEMBLER=OFF
echo "== Windows: mit mingw-w64 gebaut, unter Wine geprüft =="
# The programs that ship are 32-bit (they must run on XP); their tests run under Wine's 32-bit
# half. Some kernels cannot start a 32-bit process at all: there the same code is built for
# 64-bit Windows and its tests run under 64-bit Wine, so that no change to the Windows code goes
# untried. Only Setup.exe (NSIS makes it 32-bit) and what is particular to the 32-bit programs
# stay untried then, and the run says so.
# windows_build BUILD [CMAKE_OPTION ...] [--target TARGET ...]
windows_build() {
    local build="$1" options=() targets=()
    shift
    while [ $# -gt 0 ] && [ "$1" != --target ]; do options+=("$1"); shift; done
    [ $# -gt 0 ] && shift && targets=(--target "$@")
    cmake -S "$here" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/MingwToolchain.cmake" \
        -DCMAKE_BUILD_TYPE=Release "${options[@]}" >/dev/null
    cmake --build "$build" -j "$jobs" "${targets[@]}"
}
windows_tests() {
    local prefix="--default-prefix=$1/wineprefix"
    # No Wine process may outlive the run, whatever its outcome.
    trap '"$here/scripts/wine-run.sh" "'"$prefix"'" --kill >/dev/null 2>&1 || true' EXIT
    # The Wine prefix is made once, before the tests are listed.
    "$here/scripts/wine-run.sh" "$prefix" --init
    # Wine itself now and then fails to start a program: in CI a test once ended after 0.1 s with
    # no output at all, its neighbours from the same program passing. A failed test runs once
    # more; one that fails twice fails the suite.
    (cd "$1" && ctest --output-on-failure -j "$jobs" --timeout 600 --repeat until-pass:2)
}
if why="$("$here/scripts/wine-run.sh" --probe 2>&1)"; then
    windows_build "$here/build-windows"
    windows_tests "$here/build-windows"
    exit 0
fi
# The programs that ship and Setup.exe are built all the same, so that the 32-bit code compiles
# warning-free everywhere, and checked for XP, which needs no Wine. The 32-bit tests are not built:
# they could not run, and the 64-bit build below compiles the same sources.
windows_build "$here/build-windows" --target windows_reassembler setup
for program in QUIL.SYS SPLITWERK.exe; do
    cmake -DEXE="$here/build-windows/shipped/$program" -DOBJDUMP=i686-w64-mingw32-objdump \
        -DALLOWED="$here/tests/shipped/xp-imports.txt" -P "$here/tests/shipped/CheckXpProgram.cmake"
done
if ! SPLITWERK_WINEARCH=win64 "$here/scripts/wine-run.sh" --probe >/dev/null 2>&1; then
    echo "Übersprungen: die Tests des Windows-Baus unter Wine ($why)."
    exit 0
fi
echo "Die 32-bit-Programme können hier nicht starten ($why)."
echo "Ihre Tests laufen deshalb in einem 64-bit-Bau unter 64-bit-Wine; ungeprüft bleiben Setup.exe und was nur den 32-bit-Bau betrifft."
export SPLITWERK_WINEARCH=win64
windows_build "$here/build-windows64" -DSPLITWERK_MINGW_ARCH=x86_64
windows_tests "$here/build-windows64"
