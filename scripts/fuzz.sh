#!/usr/bin/env bash
# Builds the pure pieces natively with clang (fuzz/CMakeLists.txt) under AddressSanitizer and
# UndefinedBehaviorSanitizer, runs their GoogleTest files, then runs each libFuzzer target:
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# SECONDS per target (default $FUZZ_SECONDS, else 60); 0 only replays the seed corpus. Every
# target runs on one core, from its committed seeds in fuzz/corpus/<target>/ plus what earlier
# runs found (build/fuzz/corpus/<target>/, where new inputs go). A failing input is saved as
# build/fuzz/artifacts/<target>-crash-<sha1>, its log as build/fuzz/logs/<target>.log; replay it
# with build/fuzz/<target> <file>. Exit status 1 when any target or unit test fails.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-${FUZZ_SECONDS:-60}}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_cstring fuzz_identifiers fuzz_mapping_parser fuzz_transliterate)
build="$root/build/fuzz"

# Longest input per target: room for a mapping file of a few hundred lines, texts well past
# the 255 characters of the fixed buffers.
max_len() {
  case "$1" in
    fuzz_identifiers) echo 1024 ;;
    fuzz_mapping_parser) echo 8192 ;;
    *) echo 4096 ;;
  esac
}

install_missing() {
  "$root/scripts/install-deps.sh" clang
  # libFuzzer and the sanitizer runtimes come with the compiler-rt package of clang's version.
  local major rt
  major=$(clang++ -dumpversion | cut -d. -f1)
  rt="libclang-rt-$major-dev"
  apt-cache show "$rt" >/dev/null 2>&1 || rt=libclang-rt-dev
  "$root/scripts/install-deps.sh" "$rt"
}

install_missing
echo "== building the fuzz targets and sanitized unit tests (clang, ASan, UBSan)"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
fi
cmake --build "$build" -j"${FUZZ_BUILD_JOBS:-2}" 2>&1 | grep -E '(error|warning):|\*\*\*' || true
[ "${PIPESTATUS[0]}" -eq 0 ]

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
mkdir -p "$build/logs" "$build/artifacts"

failed=()
echo "== sanitized unit tests"
if ! "$build/sanitized_unit_tests" --gtest_brief=1 >"$build/logs/sanitized_unit_tests.log" 2>&1; then
  tail -n 60 "$build/logs/sanitized_unit_tests.log"
  failed+=(sanitized_unit_tests)
fi

results=()
for target in "${targets[@]}"; do
  seeds="$root/fuzz/corpus/$target"
  found="$build/corpus/$target"
  log="$build/logs/$target.log"
  [ -x "$build/$target" ] && [ -d "$seeds" ] || { echo "no such fuzz target: $target" >&2; exit 2; }
  mkdir -p "$found"
  if [ "$seconds" -eq 0 ]; then
    limit=(-runs=0)
  else
    limit=(-max_total_time="$seconds")
  fi
  echo "== $target: ${seconds}s"
  status=0
  "$build/$target" "${limit[@]}" -rss_limit_mb=2048 -max_len="$(max_len "$target")" -timeout=25 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" "$found" "$seeds" \
    >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [ "$status" -ne 0 ]; then
    grep -E 'ERROR|property failed|runtime error|Test unit written|SUMMARY' "$log" | head -n 20 || true
    tail -n 40 "$log"
    failed+=("$target")
    results+=("$target FAILED")
  else
    results+=("$target ${runs:-?} runs")
  fi
done

summary=$(IFS=','; echo "${results[*]}" | sed 's/,/, /g')
if [ ${#failed[@]} -gt 0 ]; then
  echo "FUZZ SUMMARY: FAILED (${failed[*]}); ${seconds}s per target: $summary; logs in $build/logs"
  exit 1
fi
echo "FUZZ SUMMARY: passed, sanitized unit tests and ${#targets[@]} targets, ${seconds}s per target: $summary"
