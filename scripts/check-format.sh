#!/usr/bin/env bash
# Checks that every C++ file of the repository is laid out as .clang-format says; with --fix,
# rewrites the files that are not.  usage: check-format.sh [--fix]
# The layout is that of Debian's clang-format 14; other versions break some lines differently,
# so the check refuses to judge with them rather than fail on their opinion.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
command -v clang-format >/dev/null || "$root/scripts/install-deps.sh" clang-format
version=$(clang-format --version | sed -n 's/.*version \([0-9]*\)\..*/\1/p')
if [ "$version" != 14 ]; then
  echo "check-format: clang-format $version found; the layout is defined by version 14" >&2
  exit 2
fi
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
unformatted=()
for f in "${files[@]}"; do
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || unformatted+=("$f")
done
if [ ${#unformatted[@]} -gt 0 ]; then
  printf 'not formatted: %s\n' "${unformatted[@]}" >&2
  echo "run scripts/check-format.sh --fix" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files formatted"
