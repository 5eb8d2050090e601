#!/usr/bin/env bash
# The payment file benchmark: generated batches of valid payments, in two shapes, through the
# host runner's whole payment run under Wine, the XML engine alone on the same documents, and
# the npm package `sepa` on Node.js as a peer; then perf profiles of the whole run. Prints a
# table and writes docs/benchmark.md.
# usage: scripts/benchmark.sh [--rounds N] [--sizes "1000 10000 50000 99999"] [--shapes "clean typed"]
# Takes a while (about twelve minutes on two busy cores); run it when the machine is quiet.
set -euo pipefail
began=$(date +%s)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The tool's Python modules import each other; no byte-code caches in the source tree.
export PYTHONDONTWRITEBYTECODE=1
# A build of its own, with the step timings that no other build has; the test build and its
# Wine prefix stay untouched.
build="$root/build/bench-x86_64"
work="$root/build/bench"
rounds=3
sizes="1000 10000 50000 99999"
shapes="clean typed"
while [ $# -gt 0 ]; do
  case "$1" in
    --rounds) rounds=$2; shift 2 ;;
    --sizes) sizes=$2; shift 2 ;;
    --shapes) shapes=$2; shift 2 ;;
    *) echo "usage: scripts/benchmark.sh [--rounds N] [--sizes \"N ...\"] [--shapes \"clean typed\"]" >&2; exit 2 ;;
  esac
done

"$root/scripts/install-deps.sh"
# Node.js may come from elsewhere than Debian's packages; only a missing one is installed.
command -v node >/dev/null && command -v npm >/dev/null || "$root/scripts/install-deps.sh" nodejs npm
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-mingw.cmake" \
    -DSEPA_BENCHMARK_INSTRUMENTATION=ON >/dev/null
fi
# The desktop holder too: without it every program of the session starts Wine's desktop
# process afresh, which a desktop where Wine is in use does not pay for.
set +e
cmake --build "$build" -j"$(nproc)" --target TavrinBankOfVelmoraSEPA TavrinHostSettings tavrin-host \
  sepa_xml_engine_floor sepa_credit_transfer_file_benchmark wine_desktop_holder 2>&1 | grep -E '(error|warning):'
status=${PIPESTATUS[0]}
set -e
[ "$status" -eq 0 ] || { echo "the benchmark build failed" >&2; exit 1; }

peer="$root/bench/peer"
if [ ! -d "$peer/node_modules/sepa" ]; then
  (cd "$peer" && npm ci --no-audit --no-fund --loglevel=error)
fi

mkdir -p "$work" "$root/docs"
# Made afresh for every benchmark: the batches' execution date is a working day after today,
# and a day gone by would be refused by the payment details dialog.
# Wine's start is measured with one clean payment.
python3 "$root/bench/make_batch.py" 1 "$work/batch-clean-1.csv"
for shape in $shapes; do
  for size in $sizes; do
    python3 "$root/bench/make_batch.py" "$size" "$work/batch-$shape-$size.csv" --shape "$shape"
  done
done

source "$root/scripts/wine-env.sh" "$build"
# One session of the build's prefix for all the runs, as on a desktop where Wine is in use; the
# start that remains for each program is measured with a batch of one payment. The prefix is
# the benchmark's own: its server and display, if an earlier benchmark left them, are ended
# first, so that every benchmark starts from the same state and its session holds the desktop.
# A user's start through bin/tavrin-host, with the session's own set-up, is measured in another
# prefix of the benchmark's own (build/bench/wineprefix-start), whose server it ends as well.
end_wine_prefix
begin_wine_session

# shellcheck disable=SC2086
python3 "$root/bench/run_benchmark.py" --build "$build" --work "$work" --peer "$peer" \
  --doc "$root/docs/benchmark.md" --rounds "$rounds" --sizes $sizes --shapes $shapes --began "$began"
