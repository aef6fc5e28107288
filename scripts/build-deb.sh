#!/usr/bin/env bash
# Builds the Debian package: build-deb/splitwerk99_<version>_amd64.deb (what goes into it:
# packaging/linux/CMakeLists.txt). Installs what the build needs first, as the other scripts do.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
build="$here/build-deb"
# Debian's hardening, as every package of the distribution gets it: checked buffer functions
# (_FORTIFY_SOURCE), a stack protector, a read-only relocation table resolved at start (relro,
# now). Only these are taken; optimisation and debugging information stay the build's own
# (Release, and -Os for QUIL.SYS, whose size every first disk pays). Passed on every configure,
# so that an existing build-deb/ gets them too.
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSPLITWERK_BUILD_TESTS=OFF \
    -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) -fstack-protector-strong" -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" >/dev/null
cmake --build "$build" -j "$(nproc)"
(cd "$build" && cpack -G DEB)
