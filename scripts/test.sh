#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: in a normal build and in a
# build with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"

jobs="$(nproc)"
run_suite() {
    local build="$1"
    shift
    cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DSPLITWERK_BUILD_BENCH=OFF "$@" >/dev/null
    cmake --build "$build" -j "$jobs"
    (cd "$build" && ctest --output-on-failure -j "$jobs" --timeout 600)
}

echo "== Tests =="
run_suite "$here/build-test"
echo "== Tests unter AddressSanitizer und UndefinedBehaviorSanitizer =="
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_suite "$here/build-sanitize" -DSPLITWERK_SANITIZE=ON
