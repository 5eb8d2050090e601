#!/usr/bin/env bash
# Runs the VBScript client under Wine's own script host against the registered component and
# compares every line it prints.
# usage: late_bound_vbscript_client_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1 build_dir=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$source_dir/scripts/wine-env.sh" "$build_dir"
script=$(to_windows_path "$here/late_bound_client.vbs")
actual=$("$source_dir/scripts/wine-run.sh" "$build_dir" cscript.exe //nologo "$script" | tr -d '\r')
# VBScript gives an error of the control facility (0x800AFFFC) its low word as Err.Number.
expected='ByName=Bank Payment Service
ByDefaultMember=Bank Payment Service
ByPosition=Bank Payment Service
PastTheEnd=FFFC Invalid argument
DigitZero=FFFC Invalid argument
Enumerated=[Bank Payment Service]'
if [ "$actual" != "$expected" ]; then
  echo "FAIL: the script printed:"; echo "$actual"; echo "expected:"; echo "$expected"
  exit 1
fi
echo "ok: a VBScript client found the payment service by a name and a position held in variables"
