#!/usr/bin/env bash
# Runs a Windows x86_64 program under Wine in the build folder's private prefix.
# usage: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
# Creates the prefix on first use, registers the host stand-in when it is newer than the last
# registration, and provides a virtual display when none is set (dialogs need one).
set -euo pipefail

build_dir=$(cd "$1" && pwd); shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh" "$build_dir"

if [ -n "${DISPLAY:-}" ]; then
  wine_prepare_prefix
  exec "$WINE64" "$@"
fi

# A display of our own for this one program; Wine's helpers are ended before it goes away.
# It comes before the prefix is prepared: a registration starts the Wine server and its
# desktop, which the program then shares, and a desktop started without a display cannot
# show the program's windows.
trap end_wine_session EXIT
start_private_display
wine_prepare_prefix
set +e
"$WINE64" "$@"
exit $?
