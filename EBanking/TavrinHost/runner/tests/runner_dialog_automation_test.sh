#!/usr/bin/env bash
# The runner's --auto working the real payment details dialog, through the wrapper as a user
# runs it: the values typed reach the host's first payment and the file written where --save
# said (as Windows names it: without the trailing dots and blanks typed); refused values are
# shown in the error box and the transfer is abandoned; --cancel abandons it; a --date the
# date picker cannot show is an error, never replaced by the day the picker shows.
# usage: runner_dialog_automation_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1 build_dir=$2
work=$(mktemp -d "$build_dir/runner-dialog-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
runner() { TAVRIN_NO_BUILD=1 TAVRIN_BUILD_DIR="$build_dir" "$source_dir/bin/tavrin-host" "$@"; }

# A working day about a week ahead (well inside the 60 days the dialog accepts), and a Saturday.
day=$(date -d "+7 days" +%F)
case $(date -d "$day" +%u) in
  6) day=$(date -d "$day +2 days" +%F) ;;
  7) day=$(date -d "$day +1 day" +%F) ;;
esac
saturday=$(date -d "next saturday" +%F)

check() {  # check NAME EXIT_STATUS [ARGS...]: runs the Python checks below on NAME.json
  python3 - "$work/$1.json" "$@" <<'PY'
import json, os, sys
report_path, name, exit_status = sys.argv[1], sys.argv[2], int(sys.argv[3])
args = sys.argv[4:]
report = json.load(open(report_path, encoding="utf-8"))
first = report["payments"][0]
boxes = [(m["caption"], m["answer"]) for m in report["messages"]]
assert report["hresult"] == "0x00000000", report["hresult"]
expected_exit = 5 if name == "unshowable" else {0: 0, 1: 1, 2: 2, 3: 3}[report["status"]]
assert exit_status == expected_exit, (exit_status, report["status"])

abandon = ("Processing Details", "Yes")
if name == "typed":
    day, chosen = args
    assert first["execution_date"] == day, first["execution_date"]
    assert first["oin"] == "ABC-123 XY", first["oin"]
    # Written, with the sample's one invalid payment; no question was needed.
    assert report["status"] == 1, report["status"]
    assert boxes == [], boxes
    # The file is the one Windows wrote for the typed path, and it carries the typed values.
    assert report["file_path"] == chosen, report["file_path"]
    assert report["file"] == "Z:" + chosen.replace("/", "\\"), report["file"]
    content = open(chosen, encoding="utf-8").read()
    assert "<Id>ABC-123 XY</Id>" in content, "the OIN identifies the initiating party"
    assert "<ReqdExctnDt>" + day + "</ReqdExctnDt>" in content, "the picked day is requested"
elif name == "refused":
    assert report["status"] == 3, report["status"]
    assert boxes == [("Errors encountered", "OK"), abandon], boxes
    assert report["messages"][0]["text"] == (
        "You must correct the following issues before continuing."
        "\n    * The Requested Execution Date must be a working day (Monday to Friday)."
        "\n    * Please supply a valid OIN; this will be provided by your bank.\n"
        "        * OIN must contain at least 6 characters.\n"
        "        * Characters allowed are A-Z and 0-9."), report["messages"][0]["text"]
    assert first["oin"] == "VELMORA-OIN-001" and first["execution_date"] is None, first
    assert report["file"] is None
elif name == "cancelled":
    assert report["status"] == 3, report["status"]
    assert boxes == [abandon], boxes
    assert report["messages"][0]["text"] == "Are you sure you wish to abandon credit transfer?"
    assert first["oin"] == "VELMORA-OIN-001" and first["execution_date"] is None, first
    assert report["file"] is None
elif name == "unshowable":
    # The picker could not show the day: abandoned, and the host's payments keep their values.
    assert report["status"] == 3, report["status"]
    assert boxes == [abandon], boxes
    assert first["oin"] == "VELMORA-OIN-001" and first["execution_date"] is None, first
    assert report["file"] is None and report["file_path"] is None, report
print("ok:", name, report["status"])
PY
}

run() {  # run NAME [RUNNER ARGS...]: a run on the sample batch with its own payment directory
  local name=$1; shift
  mkdir -p "$work/$name"
  local status=0
  runner --auto --payment-dir "$work/$name" --report "$work/$name.json" "$@" > "$work/$name.txt" 2> "$work/$name.err" ||
    status=$?
  echo "$status"
}

status=$(run typed --date "$day" --oin "ABC-123 XY" --save "$work/typed/chosen.xml. . ")
check typed "$status" "$day" "$work/typed/chosen.xml"
[ "$(ls -A "$work/typed")" = chosen.xml ] || { echo "FAIL: the typed run wrote"; ls -A "$work/typed"; exit 1; }

status=$(run refused --date "$saturday" --oin "AB")
check refused "$status"
[ -z "$(ls -A "$work/refused")" ] || { echo "FAIL: a refused run left files"; ls "$work/refused"; exit 1; }

status=$(run cancelled --cancel)
check cancelled "$status"
[ -z "$(ls -A "$work/cancelled")" ] || { echo "FAIL: a cancelled run left files"; ls "$work/cancelled"; exit 1; }

# Days before and after what the picker can show.
for unshowable in 1601-01-01 9999-12-31; do
  status=$(run unshowable --date "$unshowable")
  check unshowable "$status"
  grep -qx "tavrin-host: the dialog's date picker cannot show --date $unshowable; the transfer was abandoned" \
    "$work/unshowable.err" || { cat "$work/unshowable.err"; exit 1; }
  [ -z "$(ls -A "$work/unshowable")" ] || { echo "FAIL: --date $unshowable left files"; exit 1; }
done

# A day that is not in the calendar is refused before anything runs.
if runner --auto --date 2026-02-30 > "$work/bad.out" 2> "$work/bad.err"; then
  echo "FAIL: --date 2026-02-30 was accepted"; exit 1
fi
grep -q -- "--date needs a calendar day" "$work/bad.err" || { cat "$work/bad.err"; exit 1; }
echo "ok: the runner typed into the dialog, gave up on refused values, cancelled, and refused days the picker cannot show"
