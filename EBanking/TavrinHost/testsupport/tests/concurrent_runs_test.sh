#!/usr/bin/env bash
# Payment runs of the runner started together on one build and its Wine prefix, the way users
# or a run beside the test suite share them: a long one (10,000 payments) and a short one (a
# single payment) that ends while the long one still works, each with its own payment folder,
# and four more (2 to 5 payments) into one folder at once, where the file names that the
# component stamps with the second may meet. Each run in its own folder must finish with its
# own report and file; each of the four must keep a file that holds its own batch, or end with
# status 2 and no file, or (when another's file already stood at its path as it confirmed)
# decline to replace it and end cancelled; no two reports may name one file.
# usage: concurrent_runs_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1 build_dir=$2
work=$(mktemp -d "$build_dir/concurrent-runs-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
runner() { TAVRIN_NO_BUILD=1 TAVRIN_BUILD_DIR="$build_dir" "$source_dir/bin/tavrin-host" "$@"; }

shared="2 3 4 5" counts="2 3 4 5 10000 1"  # the four into one folder first, to start closest together
declare -A pid out
for count in $counts; do
  python3 "$source_dir/bench/make_batch.py" "$count" "$work/batch-$count.csv"
  out[$count]=$work/out-$count
  [[ " $shared " != *" $count "* ]] || out[$count]=$work/out-shared
  mkdir -p "${out[$count]}"
done
for count in $counts; do
  runner --auto --payment-dir "${out[$count]}" --report "$work/report-$count.json" "$work/batch-$count.csv" \
    >"$work/run-$count.txt" 2>&1 &
  pid[$count]=$!
done
for count in $counts; do
  status=0; wait "${pid[$count]}" || status=$?
  echo "$status" >"$work/status-$count"
done

python3 - "$work" <<'PY'
import glob, json, os, re, sys
work = sys.argv[1]

def run(count):
    status = int(open(os.path.join(work, "status-%d" % count)).read())
    output = open(os.path.join(work, "run-%d.txt" % count), encoding="utf-8", errors="replace").read()
    report = json.load(open(os.path.join(work, "report-%d.json" % count), encoding="utf-8"))
    assert len(report["payments"]) == count, (count, len(report["payments"]))
    assert status == report["status"], (count, status, report["status"], output[-2000:])
    return status, report

def holds_own_batch(count, path):
    content = open(path, encoding="utf-8").read()
    assert re.search(r"<NbOfTxs>%d</NbOfTxs>" % count, content), (count, "the file holds another batch")
    assert content.rstrip().endswith("</Document>"), (count, "the file is cut short")

for count in (10000, 1):
    status, report = run(count)
    assert status == 0, (count, status)
    assert all(p["code"] == 0 for p in report["payments"]), count
    files = glob.glob(os.path.join(work, "out-%d" % count, "BOV*PAIN001.xml"))
    assert len(files) == 1, (count, files)
    holds_own_batch(count, files[0])
    print("ok: %d payments, status 0, %s" % (count, os.path.basename(files[0])))

kept = {}
for count in (2, 3, 4, 5):
    status, report = run(count)
    if status == 2:
        assert report["file"] is None and report["file_path"] is None, (count, report["file"])
        print("ok: %d payments, status 2: its file was taken" % count)
        continue
    if status == 3:
        # Another run's file stood at the path before this one confirmed: asked whether to
        # replace it, --auto declines for a path it did not name, and abandons the transfer.
        answers = [(m["caption"], m["answer"]) for m in report["messages"]]
        assert ("File already exists", "No") in answers, (count, answers)
        assert report["file"] is None, (count, report["file"])
        print("ok: %d payments, status 3: another run's file stood at its path, and was kept" % count)
        continue
    assert status == 0, (count, status)
    path = report["file_path"]
    assert path not in kept, "the runs of %d and %d payments both report %s" % (kept.get(path), count, path)
    kept[path] = count
    holds_own_batch(count, path)
    print("ok: %d payments, status 0, %s" % (count, os.path.basename(path)))
left = sorted(glob.glob(os.path.join(work, "out-shared", "*")))
assert left == sorted(kept), ("the shared folder holds other files than the runs report", left, sorted(kept))
PY
echo "ok: every run finished with its own report, and each file holds the batch of the one run that reports it"
