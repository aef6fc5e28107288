#!/usr/bin/env bash
# Builds the Debian package: build-deb/splitwerk99_<version>_amd64.deb (what goes into it:
# cmake/Packaging.cmake). Installs what the build needs first, as the other scripts do.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
build="$here/build-deb"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSPLITWERK_BUILD_TESTS=OFF -DSPLITWERK_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
(cd "$build" && cpack -G DEB)
