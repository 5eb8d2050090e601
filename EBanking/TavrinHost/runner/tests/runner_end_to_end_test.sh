#!/usr/bin/env bash
# The host runner through its wrapper, as a user runs it: a CSV batch and its report in JSON
# naming the file the run wrote, put in place by a rename; the wrapper's own answers to --help
# and a bad command line, and its refusal of a report onto the batch or the payment file, given
# without building or starting Wine; clear refusals of a bad batch file and of a report that
# cannot be written; a save path that the ANSI code page cannot hold, refused before anything
# is written; a command stopped while its dialog waits, which leaves no process of its run
# behind and the prefix's desktop and services running; and a run whose Wine server is ended
# from outside, which has no result.
# usage: runner_end_to_end_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1 build_dir=$2
work=$(mktemp -d "$build_dir/runner-test.XXXXXX")
prefix=$work/prefix  # the killed run's own: ending its server ends nothing of anyone else's
source "$source_dir/scripts/wine-env.sh" "$build_dir"  # WINESERVER and the virtual display
# The processes of the runs whose environment holds a mark starting with $1, that can still
# run, as PID and command line: the wrapper, wine-run.sh and the Windows program (not the
# prefix's server and services, which a first run starts).
run_processes() {
  local p
  for p in /proc/[0-9]*; do
    grep -qz "^TAVRIN_TEST_RUN=$1" "$p/environ" 2>/dev/null || continue
    echo "${p#/proc/} $(tr '\0' ' ' < "$p/cmdline" 2>/dev/null)"
  done | grep -E 'tavrin-host|wine-run\.sh' || true
}
mark=$(basename "$work")
cleanup() {
  run_processes "$mark" | awk '{print $1}' | xargs -r kill -KILL 2>/dev/null || true  # a stopped run left running
  [ ! -d "$prefix" ] || ( WINEPREFIX=$prefix; end_wine_prefix --remove ) || true
  rm -rf "$work"
}
trap cleanup EXIT
runner() { TAVRIN_NO_BUILD=1 TAVRIN_BUILD_DIR="$build_dir" "$source_dir/bin/tavrin-host" "$@"; }

# The dialog refuses an execution date before today and more than 60 days ahead: a week ahead
# holds on any day the test runs, also across midnight.
execution_date=$(date -d '+7 days' +%F)
cat > "$work/batch.csv" <<CSV
payer_name,payer_iban,payer_bic,payee_name,payee_iban,payee_bic,amount,currency1,currency2,payment_reference,payee_reference,execution_date,oin
Velmora Trading Ltd,DE89 3704 0044 0532 0130 00,COBADEFFXXX,"Müller & Söhne, GmbH",DE75512108001245126199,SOGEDEFF,1234.50,978,978,INV-1,Rechnung 1,$execution_date,OIN-777
Velmora Trading Ltd,DE89 3704 0044 0532 0130 00,COBADEFFXXX,Bad Iban Ltd,XX,SOGEDEFF,10.00,978,978,INV-2,,,
CSV
mkdir -p "$work/out"
# The old report is replaced, not written over: its other name keeps the old text.
echo old > "$work/report.json" && ln "$work/report.json" "$work/old-report.json"
status=0
runner --auto --payment-dir "$work/out" --report "$work/report.json" "$work/batch.csv" > "$work/report.txt" || status=$?
[ "$(cat "$work/old-report.json")" = old ] || { echo "FAIL: the report was written over the old one"; exit 1; }
! ls "$work" | grep -q '\.tmp$' || { echo "FAIL: the report's temporary file was left"; ls "$work"; exit 1; }
# Another run's file beside it, written later, must not be taken for this run's.
touch -d "+1 hour" "$work/out/BOV29991231235959PAIN001.xml"
python3 - "$work/report.json" "$status" "$work/out" "$execution_date" <<'PY'
import json, os, sys
report = json.load(open(sys.argv[1], encoding="utf-8"))
status, out, execution_date = int(sys.argv[2]), sys.argv[3], sys.argv[4]
assert report["hresult"] == "0x00000000", report["hresult"]
assert report["bank"] == {"name": "Bank of Velmora SEPA", "kind": 1, "sub_category": "SEPA"}, report["bank"]
payments = report["payments"]
assert len(payments) == 2
first, second = payments
assert first["code"] == 0 and first["message"] == "Payment processed successfully.", first
assert first["payer_iban"] == "DE89370400440532013000", first["payer_iban"]
assert first["oin"] == "OIN-777", first["oin"]
assert first["execution_date"] == execution_date, first["execution_date"]
assert (first["currency1"], first["currency2"], first["payee_reference"]) == (978, 978, "Rechnung 1"), first
assert second["code"] == 107 and second["payee_reference"] == "", second
assert second["message"].startswith("Invalid Payee IBAN"), second["message"]
# The exit status follows the run status the component left.
expected_exit = {0: 0, 1: 1, 2: 2, 3: 3}[report["status"]]
assert status == expected_exit, (status, report["status"])
assert report["status"] == 1 and report["status_text"] == "file written, with invalid payments", report
# The file is named as Windows wrote it, and by its Unix path; it is the only one this run wrote.
written = [n for n in os.listdir(out) if n != "BOV29991231235959PAIN001.xml"]
assert len(written) == 1, written
assert report["file_path"] == os.path.join(out, written[0]), (report["file_path"], written)
assert report["file"] == "Z:" + report["file_path"].replace("/", "\\"), report["file"]
for box in report["messages"]:
    assert set(box) == {"caption", "text", "answer"}, box
print("ok: report", report["status"], report["file"])
PY
grep -q "code 107" "$work/report.txt"

# Full-width dots and solidus would become "../" as ANSI look-alikes, and the file would land
# outside the folder typed. The dialog refuses them by name, and nothing is written anywhere.
mkdir -p "$work/typed/sp/sub" "$work/typed/out"
touch "$work/typed.start"
status=0
( cd "$work/typed" && runner --auto --payment-dir "$work/typed/out" --save 'sp/sub/．．／escaped.xml' \
    --report "$work/typed.json" "$work/batch.csv" > "$work/typed.out" ) || status=$?
[ "$status" -eq 3 ] || { echo "FAIL: an unusable save path gave exit $status"; exit 1; }
python3 - "$work/typed.json" <<'PY'
import json, sys
report = json.load(open(sys.argv[1], encoding="utf-8"))
assert report["status"] == 3 and report["file"] is None, report
boxes = [(m["caption"], m["text"]) for m in report["messages"]]
assert boxes[0] == ("Errors encountered", "You must correct the following issues before continuing."
                    "\n    * The file name and location cannot contain these characters: ． ／"), boxes
PY
# (the other run's file dated an hour ahead aside)
written=$(find "$work" -newer "$work/typed.start" -type f ! -name 'typed.*' ! -name BOV29991231235959PAIN001.xml)
[ -z "$written" ] || { echo "FAIL: the refused run wrote: $written"; exit 1; }

# A bad batch file is refused with its line, and nothing runs: a missing column, text that is
# not UTF-8, days the date picker cannot show, which the dialog would replace by today; a
# device, which never ends, and a folder.
refused() {  # refused MESSAGE BATCH [RUNNER ARGS...]
  local message=$1 status=0; shift
  runner --auto "$@" > "$work/bad.out" 2> "$work/bad.err" || status=$?
  [ "$status" -eq 5 ] && grep -qF "tavrin-host: $message" "$work/bad.err" && [ ! -s "$work/bad.out" ] ||
    { echo "FAIL: $* gave exit $status, not the refusal '$message'"; cat "$work/bad.err"; exit 1; }
}
printf 'payer_name,amount\nx,1\n' > "$work/bad.csv"
refused "bad batch file: line 1: column" "$work/bad.csv"
{ head -2 "$work/batch.csv"; printf 'P,I,B,Caf\xe9,J,C,1.00,978,978,R,,,\n'; } > "$work/bad.csv"
refused "bad batch file: line 3: the text is not UTF-8" "$work/bad.csv"
for day in 0100-01-01 1601-01-01; do
  sed "2s/$execution_date/$day/" "$work/batch.csv" > "$work/bad.csv"
  refused "bad batch file: line 2: the dialog's date picker cannot show the execution date $day" "$work/bad.csv"
done
refused "bad batch file: $work is not a regular file" "$work"
status=0
"$source_dir/scripts/wine-run.sh" "$build_dir" "$build_dir/bin/tavrin-host.exe" 'Z:\dev\zero' 2> "$work/bad.err" || status=$?
[ "$status" -eq 5 ] && grep -qF 'Z:\dev\zero is not a regular file' "$work/bad.err" ||
  { echo "FAIL: the runner read /dev/zero (exit $status)"; cat "$work/bad.err"; exit 1; }

# The wrapper answers --help and a bad command line itself: with a build tree that does not
# exist (and building allowed) it could neither build nor start Wine.
nowhere() { TAVRIN_BUILD_DIR="$work/no-such-build" "$source_dir/bin/tavrin-host" "$@"; }
nowhere --help > "$work/help.out"
cmp "$work/help.out" "$source_dir/EBanking/TavrinHost/runner/usage.txt"
status=0
nowhere --auto --bogus > "$work/usage.out" 2> "$work/usage.err" || status=$?
[ "$status" -eq 5 ] && [ ! -s "$work/usage.out" ] || { echo "FAIL: a bad option gave exit $status"; exit 1; }
{ echo "tavrin-host: unknown option --bogus"; cat "$source_dir/EBanking/TavrinHost/runner/usage.txt"; } |
  cmp - "$work/usage.err"
# A report onto the batch (also under another name) or onto the payment file, as Windows
# resolves the names.
cp "$work/batch.csv" "$work/kept.csv" && ln -s kept.csv "$work/link.csv"
nothing_written() { cmp -s "$work/batch.csv" "$work/kept.csv" && [ ! -e "$work/pay.xml" ]; }
for args in "--report $work/kept.csv" "--report $work/link.csv" "--report $work/KEPT.CSV." \
            "--auto --save $work/pay.xml --report $work/pay.xml" "--auto --save $work/pay.xml.. --report $work/PAY.xml"; do
  status=0
  # shellcheck disable=SC2086  # the paths hold no blanks
  nowhere $args "$work/kept.csv" 2> "$work/usage.err" || status=$?
  [ "$status" -eq 5 ] && grep -q "would replace the" "$work/usage.err" && nothing_written ||
    { echo "FAIL: $args gave exit $status"; cat "$work/usage.err"; exit 1; }
done

# A report that cannot be written has an exit status of its own; the run itself still reports.
status=0
runner --auto --payment-dir "$work/out" --report "$work/no-such-dir/report.json" "$work/batch.csv" \
  > "$work/unwritten.out" 2> "$work/unwritten.err" || status=$?
[ "$status" -eq 7 ] || { echo "FAIL: an unwritable report gave exit $status"; cat "$work/unwritten.err"; exit 1; }
grep -q "cannot write the report .*; the run itself ended with exit status 1$" "$work/unwritten.err"
grep -q "Payments: 2" "$work/unwritten.out"

# The runs below show their dialog on the display of their private prefix, where no other
# program shows one of the same name, and nobody answers it.
dialog_shown() {
  local n _
  read -r n _ 2>/dev/null < "$prefix/.display" || return 1
  DISPLAY=:$n xwininfo -name "Bank of Velmora SEPA Payment Processing" 2>/dev/null | grep -q "Map State: IsViewable"
}
await_dialog() {  # await_dialog PID: until the dialog of the run PID shows; false if the run ended first
  for _ in $(seq 1 1200); do  # the first run in a new prefix creates it first
    dialog_shown && return 0
    kill -0 "$1" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
# A stopped command returns only once nothing of its run can write, with no result: stopped
# itself, or its wine-run.sh killed, while the dialog waits.
for stop in "TERM bin/tavrin-host" "TERM wine-run.sh" "KILL wine-run.sh"; do
  read -r signal target <<<"$stop"
  run="$mark-$signal-$target"
  TAVRIN_TEST_RUN=$run TAVRIN_NO_BUILD=1 TAVRIN_BUILD_DIR="$build_dir" SEPA_WINEPREFIX=$prefix \
    "$source_dir/bin/tavrin-host" --payment-dir "$work/out" "$work/batch.csv" > /dev/null 2> "$work/stopped.err" &
  wrapper=$!
  await_dialog "$wrapper" || { echo "FAIL: the dialog never showed"; cat "$work/stopped.err"; exit 1; }
  victim=$wrapper
  [ "$target" = bin/tavrin-host ] || victim=$(run_processes "$run" | awk '$3 ~ /wine-run\.sh$/ {print $1}')
  kill -"$signal" "$victim"
  status=0; wait "$wrapper" || status=$?
  left=$(run_processes "$run")
  [ "$status" -eq 6 ] && [ -z "$left" ] && grep -q ": no result$" "$work/stopped.err" ||
    { echo "FAIL: SIG$signal to $target: exit $status, left running: $left"; cat "$work/stopped.err"; exit 1; }
done
# The first of those runs made the prefix and started its desktop and services: ending that
# run's processes must leave them to the prefix, or later programs lose the shared desktop.
prefix_runs() {
  local p
  for p in /proc/[0-9]*; do
    grep -qz "^WINEPREFIX=$(realpath -m "$prefix")$" "$p/environ" 2>/dev/null || continue
    tr '\0' ' ' < "$p/cmdline" 2>/dev/null; echo
  done | grep -F -- "$1" > /dev/null  # not -q: the loop would die of SIGPIPE, failing the pipe
}
prefix_runs 'explorer.exe /desktop' && prefix_runs 'services.exe' ||
  { echo "FAIL: ending a run ended the prefix's desktop or services"; exit 1; }

# A run ended from outside has no result, whatever Wine's exit status. Without --auto nobody
# answers the dialog, so the run cannot end on its own: its server is ended once the dialog
# shows, after the component has checked the whole large batch. The run's private prefix has a
# display of its own, where no other program shows a dialog of the same name.
python3 - "$work/batch.csv" > "$work/large.csv" <<'PY'
import sys
lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
print(lines[0])
print(lines[1])
without_oin = lines[1].rsplit(",", 1)[0] + ","  # only the first payment carries it
for i in range(2, 20001):
    print(without_oin.replace("INV-1,", "INV-%d," % i))
PY
status_file=$work/killed.status
( status=0
  SEPA_WINEPREFIX=$prefix runner --payment-dir "$work/out" --report "$work/killed.json" "$work/large.csv" \
    > "$work/killed.out" 2> "$work/killed.err" || status=$?
  echo "$status" > "$status_file" ) &
killed_run=$!
await_dialog "$killed_run" || { echo "FAIL: the large run's dialog never showed"; cat "$work/killed.err"; exit 1; }
WINEPREFIX=$prefix "$WINESERVER" -k
wait "$killed_run"
status=$(cat "$status_file")
[ "$status" -eq 6 ] || { echo "FAIL: a run whose server was ended exited $status"; cat "$work/killed.err"; exit 1; }
grep -q "ended without reporting how it ended" "$work/killed.err" || { cat "$work/killed.err"; exit 1; }
[ ! -e "$work/killed.json" ] || { echo "FAIL: the killed run wrote a report"; exit 1; }
echo "ok: the runner reported the batch, refused bad input, and a killed run had no result"
