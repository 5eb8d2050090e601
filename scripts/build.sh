#!/usr/bin/env bash
# Configures (once) and builds one architecture: build.sh x86_64|i686 [extra cmake -D options]
# x86_64 builds the tests too (they run under Wine); i686 is the product users install.
# SEPA_BUILD_TARGETS, when set, names the only targets to build (e.g. the DLL alone).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
arch=${1:-x86_64}; shift || true
build="$root/build/$arch"
tests=ON
[ "$arch" = i686 ] && tests=OFF
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-mingw.cmake" \
    -DSEPA_BUILD_TESTS=$tests "$@" >/dev/null
elif [ $# -gt 0 ]; then
  cmake "$build" "$@" >/dev/null
fi
# Only errors and warnings are shown; the build's own status decides (grep finding nothing
# is no failure).
set +e
targets=()
for target in ${SEPA_BUILD_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$build" -j"$(nproc)" "${targets[@]}" 2>&1 | grep -E '(error|warning):|\*\*\*'
status=${PIPESTATUS[0]}
set -e
exit "$status"
