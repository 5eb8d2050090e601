#!/usr/bin/env bash
# Runs a Windows x86_64 program under Wine in the build folder's private prefix, inside a
# session of that prefix (see wine-env.sh): the prefix made on first use, the host stand-in
# and the component registered when newer than their last registration, and the prefix's
# virtual display exported. Other sessions of the prefix may run beside it.
# usage: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
set -euo pipefail

build_dir=$(cd "$1" && pwd); shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh" "$build_dir"
begin_wine_session
set +e
run_in_wine_session "$@"
exit $?
