#!/usr/bin/env bash
# Builds Splitwerk 99 and starts it on the file given (or without one, which installs the
# Send To entry and explains the program).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"

build="$here/build"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPLITWERK_BUILD_TESTS=OFF \
    >/dev/null
# The program, QUIL.SYS and (with mingw-w64) the Windows QUIL.SYS for --fuer-windows.
cmake --build "$build" -j "$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Splitwerk 99 braucht eine grafische Oberfläche, aber es ist keine Anzeige gesetzt (DISPLAY)." >&2
    echo "Starten Sie den Befehl in einer Desktop-Sitzung, oder unter Xvfb:" >&2
    echo "  xvfb-run -a $0 DATEI" >&2
    exit 2
fi

# The program takes the whole command line as one path, exactly as the Send To menu gives it.
exec "$build/splitwerk" "$@"
