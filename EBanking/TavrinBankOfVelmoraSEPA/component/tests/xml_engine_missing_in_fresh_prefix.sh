#!/usr/bin/env bash
# Runs the test of a machine without the XML engine in a Wine prefix of its own, made afresh,
# from which the engine's document class is unregistered; other tests keep theirs.
# usage: xml_engine_missing_in_fresh_prefix.sh SOURCE_DIR BUILD_DIR TEST_EXE
set -euo pipefail
source_dir=$1 build_dir=$2 test_exe=$3
export SEPA_WINEPREFIX="$build_dir/wineprefix-no-xml-engine"
source "$source_dir/scripts/wine-env.sh" "$build_dir"
end_wine_prefix --remove
begin_wine_session
document_class='{F6D90F11-9C73-11D3-B32E-00C04F990BB4}'
for view in "HKLM\\Software\\Classes\\CLSID" "HKLM\\Software\\Classes\\Wow6432Node\\CLSID"; do
  run_in_wine_session reg delete "$view\\$document_class" /f >/dev/null 2>&1 || true
done
status=0
"$source_dir/scripts/run-gtest.sh" "$build_dir" "$test_exe" --gtest_brief=1 || status=$?
end_wine_session
end_wine_prefix --remove
exit $status
