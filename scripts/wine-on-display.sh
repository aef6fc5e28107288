#!/usr/bin/env bash
# Runs a Windows program under Wine on a virtual X display of its own (xvfb-run), then ends every
# Wine process of the prefix: Wine's desktop process would otherwise stay bound to the display
# that is gone, and the next program could not show a window.
#
#   wine-on-display.sh --default-prefix=DIR PROGRAM.exe [ARGS...]
set -u
here="$(cd "$(dirname "$0")" && pwd)"
xvfb-run -a -s "-screen 0 1280x1024x24" "$here/wine-run.sh" "$@"
status=$?
"$here/wine-run.sh" "$1" --kill >/dev/null 2>&1
exit "$status"
