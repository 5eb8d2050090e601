#!/usr/bin/env bash
# The payment file benchmark: generated batches of valid payments through the host runner's
# whole payment run under Wine, the XML engine alone on the same documents, and the npm
# package `sepa` on Node.js as a peer. Prints a table and writes docs/benchmark.md.
# usage: scripts/benchmark.sh [--rounds N] [--sizes "1000 10000 50000 99999"]
# Takes a while (about ten minutes on two cores); run it when the machine is quiet.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# A build of its own, with the step timings that no other build has; the test build and its
# Wine prefix stay untouched.
build="$root/build/bench-x86_64"
work="$root/build/bench"
rounds=3
sizes="1000 10000 50000 99999"
while [ $# -gt 0 ]; do
  case "$1" in
    --rounds) rounds=$2; shift 2 ;;
    --sizes) sizes=$2; shift 2 ;;
    *) echo "usage: scripts/benchmark.sh [--rounds N] [--sizes \"N ...\"]" >&2; exit 2 ;;
  esac
done

"$root/scripts/install-deps.sh"
# Node.js may come from elsewhere than Debian's packages; only a missing one is installed.
command -v node >/dev/null && command -v npm >/dev/null || "$root/scripts/install-deps.sh" nodejs npm
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-mingw.cmake" \
    -DSEPA_BENCHMARK_INSTRUMENTATION=ON >/dev/null
fi
set +e
cmake --build "$build" -j"$(nproc)" \
  --target TavrinBankOfVelmoraSEPA TavrinHostSettings tavrin-host sepa_xml_engine_floor 2>&1 | grep -E '(error|warning):'
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
for size in 1 $sizes; do
  python3 "$root/bench/make_batch.py" "$size" "$work/batch-$size.csv"
done

source "$root/scripts/wine-env.sh" "$build"
# One session of the build's prefix for all the runs, as on a desktop where Wine is in use; the
# start that remains for each program is measured with a batch of one payment. A user's start
# through bin/tavrin-host, with the session's own set-up, is measured in a prefix of the
# benchmark's own (build/bench/wineprefix-start), whose server the benchmark may end.
begin_wine_session

# shellcheck disable=SC2086
python3 "$root/bench/run_benchmark.py" --build "$build" --work "$work" --peer "$peer" \
  --doc "$root/docs/benchmark.md" --rounds "$rounds" --sizes $sizes
