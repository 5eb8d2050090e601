#!/usr/bin/env bash
# Runs the registration test program in a Wine prefix made afresh for it, so that what the
# test sees in the registry was written by this run alone.
# usage: registration_in_fresh_prefix.sh SOURCE_DIR BUILD_DIR TEST_EXE
set -euo pipefail
source_dir=$1 build_dir=$2 test_exe=$3
export SEPA_WINEPREFIX="$build_dir/wineprefix-registration"
export SEPA_SKIP_COMPONENT_REGISTRATION=1
rm -rf "$SEPA_WINEPREFIX" "$SEPA_WINEPREFIX.lock"
status=0
"$source_dir/scripts/wine-run.sh" "$build_dir" "$test_exe" --gtest_brief=1 || status=$?
# End this prefix's Wine processes so none keeps the test's output open.
source "$source_dir/scripts/wine-env.sh" "$build_dir"
"$WINESERVER" -k >/dev/null 2>&1 || true
exit $status
