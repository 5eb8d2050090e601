#!/usr/bin/env bash
# Checks the DLL that users install: a 32-bit x86 PE file, exporting the COM server's entry
# points by their plain names, importing nothing but DLLs that every Windows installation has,
# carrying none of the benchmark build's environment switches (a product that read them
# would write payment data wherever a host's environment said), and stripped: no symbols and
# no debug sections in it, but a .gnu_debuglink naming the symbols file beside it, which holds
# them and matches the link's checksum.
# usage: check-product-dll.sh PATH/TavrinBankOfVelmoraSEPA.dll
set -euo pipefail
dll=$1
[ -f "$dll" ] || { echo "FAIL: no DLL at $dll (build the i686 product first)"; exit 1; }
dump=$(i686-w64-mingw32-objdump -p "$dll")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

file_format=$(i686-w64-mingw32-objdump -f "$dll" | sed -n 's/.*file format //p')
[ "$file_format" = "pei-i386" ] || fail "file format is '$file_format', not pei-i386"
grep -q '^Magic[[:space:]]*010b' <<<"$dump" || fail "not a PE32 (32-bit) image"

exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | awk '/\[/ {print $NF}' | grep -v Table || true)
required=(DllGetClassObject DllCanUnloadNow DllRegisterServer DllUnregisterServer)
for name in "${required[@]}"; do
  grep -qx "$name" <<<"$exports" || fail "export $name is missing (exports: $(echo $exports))"
done
if grep -q '@' <<<"$exports"; then fail "decorated export names: $(echo $exports)"; fi

allowed='^(kernel32|user32|gdi32|advapi32|ole32|oleaut32|shell32|shlwapi|comctl32|comdlg32|msvcrt|uuid|version)\.dll$'
while read -r name; do
  lower=$(tr 'A-Z' 'a-z' <<<"$name")
  [[ "$lower" =~ $allowed ]] || fail "imports $name, which is not a system DLL"
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")

# Narrow and UTF-16 strings alike; the names are matched without regard to case.
carried=$( { i686-w64-mingw32-strings -a -n 8 "$dll"; i686-w64-mingw32-strings -a -n 8 -e l "$dll"; } | tr 'a-z' 'A-Z')
for switch in SEPA_PHASE_TIMINGS SEPA_SAVE_INTERMEDIATE; do
  if grep -qF "$switch" <<<"$carried"; then fail "carries the benchmark switch $switch"; fi
done

sections=$(i686-w64-mingw32-objdump -h "$dll" | awk '$1 ~ /^[0-9]+$/ {print $2}')
debug_sections=$(grep -E '^\.z?debug' <<<"$sections" || true)
[ -z "$debug_sections" ] || fail "carries debug sections: $(echo $debug_sections)"
grep -qx 'no symbols' <<<"$(i686-w64-mingw32-objdump -t "$dll")" || fail "carries a symbol table"
if grep -qx '\.gnu_debuglink' <<<"$sections"; then
  symbols="$dll.debug"
  # The link holds the file name, padding to four bytes and the file's CRC-32.
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  section="$scratch/gnu_debuglink"
  i686-w64-mingw32-objcopy --dump-section .gnu_debuglink="$section" "$dll" "$scratch/copy.dll"
  link=$(python3 -c '
import sys
data = open(sys.argv[1], "rb").read()
name = data[:data.index(b"\0")].decode()
print(name, int.from_bytes(data[-4:], "little"))' "$section")
  read -r link_name link_crc <<<"$link"
  if [ "$link_name" != "$(basename "$symbols")" ]; then
    fail ".gnu_debuglink names '$link_name', not $(basename "$symbols")"
  elif [ ! -f "$symbols" ]; then
    fail "no symbols file at $symbols"
  else
    crc=$(python3 -c 'import sys, zlib; print(zlib.crc32(open(sys.argv[1], "rb").read()))' "$symbols")
    [ "$crc" = "$link_crc" ] || fail "$symbols is not the symbols file the DLL was linked with (CRC-32 $crc, link $link_crc)"
    grep -q ' \.debug_info ' <<<"$(i686-w64-mingw32-objdump -h "$symbols")" || fail "$symbols holds no .debug_info"
    grep -q ' _DllGetClassObject$' <<<"$(i686-w64-mingw32-objdump -t "$symbols")" || fail "$symbols holds no symbol table"
  fi
else
  fail "no .gnu_debuglink section"
fi

if [ $failures -gt 0 ]; then exit 1; fi
echo "ok: $dll is a stripped PE32 i386 DLL with the COM server exports, only system imports, no benchmark switches and its symbols beside it"
