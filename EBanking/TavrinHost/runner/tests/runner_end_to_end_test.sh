#!/usr/bin/env bash
# The host runner through its wrapper, as a user runs it: a CSV batch, a report in JSON, and
# clear refusals of a bad batch file.
# usage: runner_end_to_end_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1 build_dir=$2
work=$(mktemp -d "$build_dir/runner-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
runner() { TAVRIN_NO_BUILD=1 TAVRIN_BUILD_DIR="$build_dir" "$source_dir/bin/tavrin-host" "$@"; }

cat > "$work/batch.csv" <<'CSV'
payer_name,payer_iban,payer_bic,payee_name,payee_iban,payee_bic,amount,currency1,currency2,payment_reference,payee_reference,execution_date,oin
Velmora Trading Ltd,DE89 3704 0044 0532 0130 00,COBADEFFXXX,"Müller & Söhne, GmbH",DE75512108001245126199,SOGEDEFF,1234.50,978,978,INV-1,,2026-12-08,OIN-777
Velmora Trading Ltd,DE89 3704 0044 0532 0130 00,COBADEFFXXX,Bad Iban Ltd,XX,SOGEDEFF,10.00,978,978,INV-2,,,
CSV
mkdir -p "$work/out"
status=0
runner --auto --payment-dir "$work/out" --report "$work/report.json" "$work/batch.csv" > "$work/report.txt" || status=$?
python3 - "$work/report.json" "$status" <<'PY'
import json, sys
report = json.load(open(sys.argv[1], encoding="utf-8"))
status = int(sys.argv[2])
assert report["hresult"] == "0x00000000", report["hresult"]
assert report["bank"] == {"name": "Bank of Velmora SEPA", "kind": 1, "sub_category": "SEPA"}, report["bank"]
payments = report["payments"]
assert len(payments) == 2
first, second = payments
assert first["code"] == 0 and first["message"] == "Payment processed successfully.", first
assert first["payer_iban"] == "DE89370400440532013000", first["payer_iban"]
assert first["oin"] == "OIN-777", first["oin"]
assert second["code"] == 107, second
assert second["message"].startswith("Invalid Payee IBAN"), second["message"]
# The exit status follows the run status the component left.
expected_exit = {0: 0, 1: 1, 2: 2, 3: 3}[report["status"]]
assert status == expected_exit, (status, report["status"])
assert report["status"] != 0, "a batch with an invalid payment is never reported clean"
for box in report["messages"]:
    assert set(box) == {"caption", "text", "answer"}, box
print("ok: report", report["status"], report["file"])
PY
grep -q "code 107" "$work/report.txt"

# A bad batch file is refused with its line, and nothing runs.
printf 'payer_name,amount\nx,1\n' > "$work/bad.csv"
if runner --auto "$work/bad.csv" > "$work/bad.out" 2> "$work/bad.err"; then
  echo "FAIL: a bad batch file was accepted"; exit 1
fi
grep -q "bad batch file: line 1: column" "$work/bad.err" || { cat "$work/bad.err"; exit 1; }
[ ! -s "$work/bad.out" ] || { echo "FAIL: a report was printed for a bad batch"; exit 1; }
echo "ok: the runner reported the batch and refused a bad one"
