#!/usr/bin/env bash
# Runs full_disk_test on a 64 KiB file system mounted for it, and takes the file system away
# again however the test ends. Mounting needs root (as in CI); without it the program simulates
# the full disk itself, and says so.
# usage: full_disk.sh BUILD_DIR PROGRAM
set -uo pipefail
build=$(cd "$1" && pwd); program=$2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../../.." && pwd)
disk=$(mktemp -d "$build/full-disk.XXXXXX")
cleanup() {
  mountpoint -q "$disk" && { umount "$disk" 2>/dev/null || umount -l "$disk"; }
  rmdir "$disk"
}
trap cleanup EXIT
if mount -t tmpfs -o size=64k,mode=0755 tmpfs "$disk" 2>/dev/null; then
  export SEPA_TEST_FULL_DISK="Z:${disk//\//\\}"
else
  echo "full_disk.sh: no file system can be mounted here; the program simulates a full disk"
  unset SEPA_TEST_FULL_DISK
fi
"$root/scripts/wine-run.sh" "$build" "$program" --gtest_brief=1
