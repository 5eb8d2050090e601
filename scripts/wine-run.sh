#!/usr/bin/env bash
# Runs a Windows x86_64 program under Wine in the build folder's private prefix, inside a
# session of that prefix (see wine-env.sh): the prefix made on first use, the host stand-in
# and the component registered when newer than their last registration, and the prefix's
# virtual display exported. Other sessions of the prefix may run beside it. Stopped by SIGINT,
# SIGTERM or SIGHUP, it ends the program and waits for it before it returns.
# usage: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
set -euo pipefail

build_dir=$(cd "$1" && pwd); shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh" "$build_dir"
begin_wine_session
set +e
# In the background, with the standard input it would have in the foreground: bash runs a
# trap only once its foreground command has ended, and the program must end first.
stop() {
  trap '' INT TERM HUP
  [ -z "${!:-}" ] || { kill -KILL "$!" 2>/dev/null; wait "$!" 2>/dev/null; }
  exit "$1"
}
trap 'stop 130' INT
trap 'stop 143' TERM
trap 'stop 129' HUP
( _wine_only_standard_descriptors exec "$WINE64" "$@" ) <&0 &
wait "$!"
