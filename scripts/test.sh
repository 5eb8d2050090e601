#!/usr/bin/env bash
# Builds everything (the i686 product and the x86_64 build that the tests run) and runs every
# test: the Windows programs under Wine, in one session of the build's prefix (other runs may
# share it meanwhile), then the native sanitizer build of the pure pieces with each fuzz target
# for FUZZ_SECONDS (default 30). Fails when any test failed or skipped.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh"

echo "== building the i686 product"
"$root/scripts/build.sh" i686
echo "== building the x86_64 tests"
"$root/scripts/build.sh" x86_64 -DSEPA_I686_DLL="$root/build/i686/bin/TavrinBankOfVelmoraSEPA.dll"

build="$root/build/x86_64"
source "$root/scripts/wine-env.sh" "$build"
begin_wine_session

echo "== running the tests"
cd "$build"
ctest_log="$build/Testing/last-run.log"
mkdir -p "$(dirname "$ctest_log")"
set +e
ctest --output-on-failure --timeout 900 "$@" 2>&1 | tee "$ctest_log"
ctest_status=${PIPESTATUS[0]}
set -e

fuzz_status=0
if [ $ctest_status -eq 0 ] && [ -z "${SKIP_FUZZ:-}" ]; then
  echo "== fuzzing the pure pieces natively"
  "$root/scripts/fuzz.sh" "${FUZZ_SECONDS:-30}" || fuzz_status=$?
fi

# One closing line for the whole run: CTest's count, with the fuzzing as one more check. CTest
# counts a skipped or disabled test as passed; here it is neither passed nor acceptable.
total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$ctest_log" | tail -1)
failed=$(sed -n 's/.* \([0-9]*\) tests failed out of.*/\1/p' "$ctest_log" | tail -1)
skipped=$(grep -cE '^[[:space:]]*[0-9]+ - .* \((Skipped|Disabled)\)$' "$ctest_log" || true)
total=${total:-0} failed=${failed:-0}
if [ $ctest_status -eq 0 ] && [ -z "${SKIP_FUZZ:-}" ]; then
  total=$((total + 1))
  [ $fuzz_status -eq 0 ] || failed=$((failed + 1))
fi
echo "tests: $((total - failed - skipped)) passed, $failed failed, $skipped skipped"
[ $ctest_status -eq 0 ] && [ $fuzz_status -eq 0 ] && [ "$skipped" -eq 0 ]
