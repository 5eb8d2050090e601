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

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$WINE64" "$@"
fi
exec "$WINE64" "$@"
