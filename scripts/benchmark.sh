#!/usr/bin/env bash
# The payment file benchmark: generated batches of valid payments through the host runner's
# whole payment run under Wine, the XML engine alone on the same documents, and the npm
# package `sepa` on Node.js as a peer. Prints a table and writes docs/benchmark.md.
# usage: scripts/benchmark.sh [--rounds N] [--sizes "1000 10000 50000 99999"]
# Takes a while (about ten minutes on two cores); run it when the machine is quiet.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/x86_64"
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
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq nodejs npm >/dev/null
fi
"$root/scripts/build.sh" x86_64

peer="$root/bench/peer"
if [ ! -d "$peer/node_modules/sepa" ]; then
  (cd "$peer" && npm ci --no-audit --no-fund --loglevel=error)
fi

mkdir -p "$work" "$root/docs"
for size in 1 $sizes; do
  [ -f "$work/batch-$size.csv" ] || python3 "$root/bench/make_batch.py" "$size" "$work/batch-$size.csv"
done

source "$root/scripts/wine-env.sh" "$build"
wine_prepare_prefix
# One display and one Wine server for all the runs, as on a desktop where Wine is in use; the
# start that remains for each program is measured with a batch of one payment.
cleanup() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  stop_private_display
}
trap cleanup EXIT
[ -n "${DISPLAY:-}" ] || start_private_display
"$WINESERVER" -p >/dev/null 2>&1 || true   # a server that already runs is kept
"$WINE64" cmd /c exit >/dev/null 2>&1 </dev/null || true   # Wine's services start here, once

# shellcheck disable=SC2086
python3 "$root/bench/run_benchmark.py" --build "$build" --work "$work" --peer "$peer" \
  --doc "$root/docs/benchmark.md" --rounds "$rounds" --sizes $sizes
