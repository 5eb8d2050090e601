#!/usr/bin/env bash
# Two payment runs of the runner started together on one build and its Wine prefix, the way
# two users or a run beside the test suite share them: a long one (10,000 payments) and a short
# one (a single payment) that ends while the long one still works. Each must finish with its
# own report and its own file.
# usage: concurrent_runs_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1 build_dir=$2
work=$(mktemp -d "$build_dir/concurrent-runs-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
runner() { TAVRIN_NO_BUILD=1 TAVRIN_BUILD_DIR="$build_dir" "$source_dir/bin/tavrin-host" "$@"; }

declare -A pid
for count in 10000 1; do
  python3 "$source_dir/bench/make_batch.py" "$count" "$work/batch-$count.csv"
  mkdir -p "$work/out-$count"
done
for count in 10000 1; do
  runner --auto --payment-dir "$work/out-$count" --report "$work/report-$count.json" "$work/batch-$count.csv" \
    >"$work/run-$count.txt" 2>&1 &
  pid[$count]=$!
done
for count in 10000 1; do
  status=0; wait "${pid[$count]}" || status=$?
  echo "$status" >"$work/status-$count"
done

python3 - "$work" <<'PY'
import glob, json, os, re, sys
work = sys.argv[1]
for count in (10000, 1):
    status = int(open(os.path.join(work, "status-%d" % count)).read())
    output = open(os.path.join(work, "run-%d.txt" % count), encoding="utf-8", errors="replace").read()
    assert status == 0, "the run of %d payments exited %d:\n%s" % (count, status, output[-2000:])
    report = json.load(open(os.path.join(work, "report-%d.json" % count), encoding="utf-8"))
    assert report["status"] == 0, (count, report["status"])
    assert len(report["payments"]) == count, (count, len(report["payments"]))
    assert all(p["code"] == 0 for p in report["payments"]), count
    files = glob.glob(os.path.join(work, "out-%d" % count, "BOV*PAIN001.xml"))
    assert len(files) == 1, (count, files)
    content = open(files[0], encoding="utf-8").read()
    assert re.search(r"<NbOfTxs>%d</NbOfTxs>" % count, content), (count, "the file holds another batch")
    assert content.rstrip().endswith("</Document>"), (count, "the file is cut short")
    print("ok: %d payments, status 0, %s" % (count, os.path.basename(files[0])))
PY
echo "ok: both runs finished with their own report and file"
