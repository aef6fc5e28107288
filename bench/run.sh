#!/usr/bin/env bash
# The benchmark in one command: a release build, then split and join against split/cat + sync.
#   bash bench/run.sh [--size-mib 1024] [--runs 5] [--dir /var/tmp]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
build="$here/build-bench"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSPLITWERK_BUILD_TESTS=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target copy_driver quil
python3 "$here/bench/bench.py" --build "$build" "$@"
