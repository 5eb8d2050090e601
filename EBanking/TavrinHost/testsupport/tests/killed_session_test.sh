#!/usr/bin/env bash
# A gtest program whose Wine session is ended from outside while it runs must fail under the
# harness, whatever exit status Wine gives it; the same program left to finish passes. Runs in
# a prefix of its own: this test ends that prefix's Wine server.
# usage: killed_session_test.sh SOURCE_DIR BUILD_DIR PROBE_EXE
set -euo pipefail
source_dir=$1 build_dir=$2 probe=$3
export SEPA_WINEPREFIX="$build_dir/wineprefix-killed-session"
source "$source_dir/scripts/wine-env.sh" "$build_dir"
work=$(mktemp -d "$build_dir/killed-session-test.XXXXXX")
trap 'end_wine_prefix; rm -rf "$work"' EXIT

probe() {  # probe NAME: starts the probe in the background; its output goes to NAME.out
  rm -f "$work/started" "$work/release"
  SESSION_PROBE_STARTED=$(to_windows_path "$work/started") SESSION_PROBE_RELEASE=$(to_windows_path "$work/release") \
    "$source_dir/scripts/run-gtest.sh" "$build_dir" "$probe" >"$work/$1.out" 2>&1 &
  probe_pid=$!
  for _ in $(seq 1 600); do
    [ -e "$work/started" ] && return 0
    kill -0 "$probe_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "FAIL: the probe did not start"; cat "$work/$1.out"; exit 1
}

probe released
touch "$work/release"
status=0; wait "$probe_pid" || status=$?
[ "$status" -eq 0 ] && grep -q "1 tests ran to completion" "$work/released.out" ||
  { echo "FAIL: the released probe did not pass (status $status):"; cat "$work/released.out"; exit 1; }

probe killed
"$WINESERVER" -k
status=0; wait "$probe_pid" || status=$?
if [ "$status" -eq 0 ] || ! grep -q "wrote no test result" "$work/killed.out"; then
  echo "FAIL: the probe whose server was killed was not reported as unfinished (status $status):"
  cat "$work/killed.out"; exit 1
fi
echo "ok: a finished probe passed; a killed one failed: $(grep FAIL "$work/killed.out")"
