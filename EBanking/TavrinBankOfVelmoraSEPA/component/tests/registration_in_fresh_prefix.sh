#!/usr/bin/env bash
# Runs the registration test program in a Wine prefix made afresh for it, so that what the
# test sees in the registry was written by this run alone.
# usage: registration_in_fresh_prefix.sh SOURCE_DIR BUILD_DIR TEST_EXE
set -euo pipefail
source_dir=$1 build_dir=$2 test_exe=$3
export SEPA_WINEPREFIX="$build_dir/wineprefix-registration"
export SEPA_SKIP_COMPONENT_REGISTRATION=1
source "$source_dir/scripts/wine-env.sh" "$build_dir"
end_wine_prefix --remove
status=0
"$source_dir/scripts/run-gtest.sh" "$build_dir" "$test_exe" --gtest_brief=1 || status=$?
end_wine_prefix
exit $status
