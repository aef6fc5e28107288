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
build_windows="$here/build-windows"
wine_prefix="--default-prefix=$build_windows/wineprefix"
# No Wine process may outlive the run, whatever its outcome.
trap '"$here/scripts/wine-run.sh" "$wine_prefix" --kill >/dev/null 2>&1 || true' EXIT
cmake -S "$here" -B "$build_windows" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/MingwToolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_windows" -j "$jobs"
if ! why="$("$here/scripts/wine-run.sh" --probe 2>&1)"; then
    # Built, so that the Windows code still compiles warning-free; nothing of it can run here.
    echo "Übersprungen: die Tests des Windows-Baus unter Wine ($why)."
    exit 0
fi
# The Wine prefix is made once, before the tests are listed.
"$here/scripts/wine-run.sh" "$wine_prefix" --init
(cd "$build_windows" && ctest --output-on-failure -j "$jobs" --timeout 600)
