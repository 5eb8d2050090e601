#!/usr/bin/env bash
# Runs a Windows x86_64 program under Wine in the build folder's private prefix.
# usage: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
# Creates the prefix on first use, registers the host stand-in when it is newer than the last
# registration, and provides a virtual display when none is set (dialogs need one).
set -euo pipefail

build_dir=$(cd "$1" && pwd); shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh" "$build_dir"

wine_prepare_prefix

if [ -n "${DISPLAY:-}" ]; then
  exec "$WINE64" "$@"
fi

# A display of our own for this one program; Wine's helpers are ended before it goes away.
start_private_display
set +e
"$WINE64" "$@"
status=$?
"$WINESERVER" -k >/dev/null 2>&1
stop_private_display
exit $status
