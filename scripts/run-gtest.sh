#!/usr/bin/env bash
# Runs a GoogleTest program under Wine and passes only when the program proved that it ran to
# the end: the XML result it writes afresh (build/x86_64/Testing/gtest-results/NAME.xml) lists
# every test as run to completion and none failed or skipped. A program that ended early (its
# Wine server killed from outside, say) writes no result and fails here, whatever exit status
# Wine reports for it. CTest runs every Windows test program through this script.
# usage: run-gtest.sh BUILD_DIR PROGRAM [ARGS...]
set -euo pipefail
build_dir=$(cd "$1" && pwd); program=$2; shift 2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh" "$build_dir"

results="$build_dir/Testing/gtest-results"
mkdir -p "$results"
xml="$results/$(basename "$program" .exe).xml"
rm -f "$xml"
status=0
"$here/wine-run.sh" "$build_dir" "$program" "--gtest_output=xml:$(to_windows_path "$xml")" "$@" || status=$?

exec python3 - "$xml" "$status" "$(basename "$program")" <<'PY'
import sys
import xml.etree.ElementTree as ET

path, status, name = sys.argv[1], int(sys.argv[2]), sys.argv[3]

def fail(why):
    print("FAIL: %s %s (exit status %d)" % (name, why, status))
    sys.exit(1)

try:
    root = ET.parse(path).getroot()
except FileNotFoundError:
    fail("wrote no test result: it did not run to the end")
except ET.ParseError as error:
    fail("wrote an unreadable test result: %s" % error)
ran = [c for c in root.iter("testcase") if c.get("status") == "run"]
unfinished = [c for c in ran if c.get("result", "completed") != "completed"]
failed = [c for c in ran if c.find("failure") is not None]
listed = int(root.get("tests", "-1"))
if listed != len(ran) or not ran:
    fail("lists %d tests but %d ran" % (listed, len(ran)))
if unfinished or failed:
    fail("did not pass: " + ", ".join("%s.%s (%s)" % (c.get("classname"), c.get("name"),
                                      "failed" if c in failed else c.get("result"))
                                      for c in unfinished + failed))
if status != 0:
    fail("listed every test as passed but exited with an error")
print("%s: %d tests ran to completion" % (name, len(ran)))
PY
