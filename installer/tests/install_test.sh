#!/usr/bin/env bash
# Installs the x64 package into a Wine prefix made afresh, in which only the host stand-in is
# registered, and checks what an administrator and a host would see: the DLL in its folder, a
# script client and a payment run reaching the installed copy, an upgrade to a newer version
# replacing it while an older one is refused, and uninstalling leaving none of its files and
# registry entries. Last, the library's own registration at the same place must write exactly
# what the package wrote. msiexec's exit status proves nothing under Wine: every step is
# checked by its outcome.
# usage: install_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1 build_dir=$(cd "$2" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export SEPA_WINEPREFIX="$build_dir/wineprefix-install"
export SEPA_SKIP_COMPONENT_REGISTRATION=1
source "$source_dir/scripts/wine-env.sh" "$build_dir"
end_wine_prefix --remove

work=$build_dir/install-test
rm -rf "$work"
mkdir -p "$work/newer" "$work/payments"
dll=$build_dir/bin/TavrinBankOfVelmoraSEPA.dll
msi=$("$source_dir/installer/make-msi.sh" x64 "$dll" "$work")
# A newer build of the same DLL; installers compare the first three parts of a version.
python3 "$here/with_file_version.py" "$dll" 1.0.1.1 "$work/newer/TavrinBankOfVelmoraSEPA.dll"
newer_msi=$("$source_dir/installer/make-msi.sh" x64 "$work/newer/TavrinBankOfVelmoraSEPA.dll" "$work/newer")

begin_wine_session
trap 'end_wine_session; end_wine_prefix' EXIT

fail() {
  echo "FAIL: $*"
  [ ! -e "$work/reg-failures" ] || cat "$work/reg-failures"
  exit 1
}

folder="$WINEPREFIX/drive_c/Program Files/Tavrin/TavrinBankOfVelmoraSEPA"
installed=$folder/TavrinBankOfVelmoraSEPA.dll
installed_windows='C:\Program Files\Tavrin\TavrinBankOfVelmoraSEPA\TavrinBankOfVelmoraSEPA.dll'
classes=(B9C9AAF7-C519-4D62-A97E-DF5E621B555B 471E354E-8004-45BF-8F52-6CE241AA9878 0EC073DF-C6B5-4DD2-AAA0-2DD5E65B3A1A)
statement_service=0492026C-2A96-467A-AC85-1C56AB52BA4D
libid=EF7CDE2A-A2F0-4F90-9B24-47E17EE8A57A
interfaces=(F590BB4C-C179-448F-B6B3-A70FC5604201 1B188F15-C0E3-4275-B860-7BF821F70A06 EB861B22-2283-41EB-8F5B-861812CAF7CA)
keys=()
for clsid in "${classes[@]}" "$statement_service"; do keys+=("HKCR\\CLSID\\{$clsid}"); done
for class in Bank BankServices BankPaymentService BankStatementService; do
  keys+=("HKCR\\TavrinBankOfVelmoraSEPA.$class" "HKCR\\TavrinBankOfVelmoraSEPA.$class.1")
done
keys+=("HKCR\\TypeLib\\{$libid}")
for iid in "${interfaces[@]}"; do keys+=("HKCR\\Interface\\{$iid}"); done
# A 64-bit library's interfaces go into the 32-bit registry too.
for iid in "${interfaces[@]}"; do keys+=("HKLM\\Software\\Wow6432Node\\Classes\\Interface\\{$iid}"); done

# reg query: its output and status 0 for a key that exists, status 1 for one that does not.
# Any other failure (reg.exe not starting) is retried, then recorded, and fails the test: it
# must never pass for an absent key.
wine_reg() {
  local output status attempt
  for attempt in 1 2 3; do
    status=0
    output=$(run_in_wine_session reg "$@" 2>&1) || status=$?
    output=${output//$'\r'/}
    if [ "$status" -eq 0 ]; then
      printf '%s\n' "$output"
      return 0
    fi
    [[ $output != *"Unable to find the specified registry key"* ]] || return 1
  done
  printf 'reg %s failed: %s\n' "$*" "$output" >>"$work/reg-failures"
  return 2
}

# Reads each of the component's keys once: $present lists the keys that exist, $entries holds
# everything under them, in the registry's own order.
read_registry() {
  local key output found=() all=()
  for key in "${keys[@]}"; do
    if output=$(wine_reg query "$key" /s); then
      found+=("$key")
      all+=("$output")
    fi
  done
  present=$(printf '%s\n' "${found[@]}")
  entries=$(printf '%s\n' "${all[@]}")
}

product_code() {
  msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductCode" { print $2 }'
}

installed_products() {
  local code
  for code in "$(product_code "$msi")" "$(product_code "$newer_msi")"; do
    if wine_reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$code" >/dev/null; then
      echo "$code"
    fi
  done
}

msiexec_quietly() {
  run_in_wine_session msiexec "$1" "$(to_windows_path "$2")" /qn /l*v "$(to_windows_path "$3")" || true
}

read_registry
[ -z "$present" ] || fail "the fresh prefix already holds: $present"
host_registered() {
  [[ $(wine_reg query 'HKCR\TypeLib' /s) == *TavrinEBanking.tlb* ]]
}
host_registered || fail "the host's type libraries are not registered"

echo "== install"
msiexec_quietly /i "$msi" "$work/install.log"
cmp -s "$installed" "$dll" || fail "the DLL is not installed at $installed (see $work/install.log)"
read_registry
printf '%s\n' "$entries" >"$work/installed.txt"
expected=()
for key in "${keys[@]}"; do [[ $key == *BankStatementService* || $key == *"$statement_service"* ]] || expected+=("$key"); done
[ "$present" = "$(printf '%s\n' "${expected[@]}")" ] ||
  fail "registered after installing: $(echo $present); expected all but the statement service's"
for clsid in "${classes[@]}"; do
  server=$(wine_reg query "HKCR\\CLSID\\{$clsid}\\InprocServer32" /ve | sed -n 's/^ *(Default) *REG_SZ *//p')
  [ "$server" = "$installed_windows" ] || fail "{$clsid} is served by '$server'"
done
wine_reg query "HKCR\\CLSID\\{${classes[0]}}\\Implemented Categories\\{4E28D2A2-EE93-11D3-8A15-00E029178D24}" >/dev/null ||
  fail "the Bank class is not in the host's component category"

echo "== a late-bound client"
client=$(run_in_wine_session cscript.exe //nologo "$(to_windows_path "$here/installed_client.vbs")" | tr -d '\r')
[ "$client" = 'Name=Bank of Velmora SEPA (IBank)
PaymentService=Bank Payment Service (IBankPaymentService), status 0' ] || fail "the client printed: $client"

echo "== a payment run"
status=0
TAVRIN_BUILD_DIR=$build_dir TAVRIN_NO_BUILD=1 "$source_dir/bin/tavrin-host" --auto --payment-dir "$work/payments" \
  --report "$work/report.json" >"$work/run.txt" || status=$?
# The built-in sample holds one invalid payment on purpose: status 1, file written.
[ "$status" -eq 1 ] || fail "the runner exited $status: $(cat "$work/run.txt")"
python3 - "$work/report.json" <<'EOF' || fail "the report: $(cat "$work/report.json")"
import json, os, sys
report = json.load(open(sys.argv[1]))
assert report["status"] == 1, report["status"]
assert os.path.getsize(report["file_path"]) > 0
EOF

echo "== upgrade and downgrade"
msiexec_quietly /i "$newer_msi" "$work/upgrade.log"
cmp -s "$installed" "$work/newer/TavrinBankOfVelmoraSEPA.dll" || fail "the newer version did not replace the DLL"
[ "$(installed_products)" = "$(product_code "$newer_msi")" ] || fail "installed after the upgrade: $(installed_products)"
read_registry
[ "$entries" = "$(cat "$work/installed.txt")" ] || fail "the upgrade changed the registration"
msiexec_quietly /i "$msi" "$work/downgrade.log"
cmp -s "$installed" "$work/newer/TavrinBankOfVelmoraSEPA.dll" || fail "an older version replaced the newer one"
[ "$(installed_products)" = "$(product_code "$newer_msi")" ] || fail "installed after the downgrade: $(installed_products)"

echo "== uninstall"
msiexec_quietly /x "$newer_msi" "$work/uninstall.log"
[ ! -e "$folder" ] || fail "uninstalling left $(ls -A "$folder" | tr '\n' ' ') in $folder"
# Wine removes only the component's own folder; Windows also removes the emptied "Tavrin"
# folder, which the package asks for. Anything in it would be a leftover on both.
[ ! -e "$(dirname "$folder")" ] || [ -z "$(ls -A "$(dirname "$folder")")" ] || fail "uninstalling left files in Tavrin"
read_registry
[ -z "$present" ] || fail "uninstalling left: $(echo $present)"
[ -z "$(installed_products)" ] || fail "still listed as installed: $(installed_products)"
wine_reg query 'HKCR\CLSID' >/dev/null || fail "uninstalling removed the CLSID key"
host_registered || fail "uninstalling removed the host's type libraries"

echo "== the library's own registration, at the installed place"
mkdir -p "$folder"
cp "$dll" "$installed"
run_in_wine_session regsvr32 /s "$installed_windows" || true
# Two named differences: Wine's type library registration writes the library's disk-image
# flag (8) into FLAGS, where the package writes the 0 of a library with no registered flags;
# and the package's HELPDIR, formed from its folder property, ends in a separator.
read_registry
printf '%s\n' "$entries" | sed -e "/\\\\FLAGS\$/{n;s/REG_SZ    8\$/REG_SZ    0/}" \
  -e '/\\HELPDIR$/{n;s/[^\\]$/&\\/}' >"$work/self-registered.txt"
run_in_wine_session regsvr32 /s /u "$installed_windows" || true
rm -rf "$(dirname "$folder")"
diff "$work/installed.txt" "$work/self-registered.txt" >"$work/registration.diff" ||
  fail "the package and DllRegisterServer register differently: $(cat "$work/registration.diff")"
read_registry
[ -z "$present" ] || fail "DllUnregisterServer left: $(echo $present)"

[ ! -e "$work/reg-failures" ] || fail "the registry could not be read throughout"
echo "ok: installed, reached by a client and a payment run, upgraded, uninstalled without a trace, registered as the library registers itself"
