#!/usr/bin/env bash
# Builds the installer package of one architecture from a built DLL:
#   make-msi.sh x86|x64 DLL OUT_DIR   -> OUT_DIR/TavrinBankOfVelmoraSEPA-<version>-<arch>.msi
# <version> is the DLL's own file version, which becomes the ProductVersion. The COM
# registration is generated from the component's sources and imported into the package's
# Registry and RemoveRegistry tables. Prints the package's path.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
sources=$(cd "$here/../EBanking/TavrinBankOfVelmoraSEPA" && pwd)
arch=$1 dll=$(realpath -- "$2") out=$3
case "$arch" in x86|x64) ;; *) echo "make-msi.sh: the architecture is x86 or x64, not $arch" >&2; exit 2 ;; esac
for tool in wixl msibuild msiinfo; do
  command -v "$tool" >/dev/null || { echo "make-msi.sh: $tool is missing (packages wixl, msitools)" >&2; exit 1; }
done

version=$(python3 "$here/dll_version.py" "$dll")
# One product code per version and architecture, the same on every build of it.
product_code=$(python3 -c 'import sys, uuid; print(str(uuid.uuid5(uuid.NAMESPACE_URL, sys.argv[1])).upper())' \
  "urn:tavrin:TavrinBankOfVelmoraSEPA:$arch:$version")
mkdir -p "$out"
msi=$(realpath -- "$out")/TavrinBankOfVelmoraSEPA-$version-$arch.msi
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$dll" "$stage/TavrinBankOfVelmoraSEPA.dll"

# wixl reads the file relative to the folder it runs in; its warnings about attributes it
# does not know would hide real ones, so only a failure shows its output.
if ! (cd "$stage" && wixl -a "$arch" -D Arch="$arch" -D Version="$version" -D ProductCode="$product_code" \
        -D DllSource=TavrinBankOfVelmoraSEPA.dll -o package.msi "$here/TavrinBankOfVelmoraSEPA.wxs") \
        >"$stage/wixl.log" 2>&1; then
  cat "$stage/wixl.log" >&2
  exit 1
fi
python3 "$here/registry_tables.py" --sources "$sources" --arch "$arch" \
  --file-key TavrinBankOfVelmoraSEPA.dll --out "$stage"
(cd "$stage" && msibuild package.msi -i Registry.idt -i RemoveRegistry.idt)
# wixl schedules the registry actions only for entries of its own source, so they are added
# here at their standard places: stale keys removed before the files, entries written after.
for action in RemoveRegistryValues:2600 WriteRegistryValues:5000; do
  msibuild "$stage/package.msi" -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('${action%%:*}', ${action#*:})"
done
# The manufacturer's folder goes too when uninstalling leaves it empty.
msibuild "$stage/package.msi" -q "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`DirProperty\`, \`InstallMode\`) VALUES ('RemoveManufacturerFolder', 'TavrinBankOfVelmoraSEPA.dll', 'ManufacturerFolder', 2)"
# The DLL is a versioned file: its version and language (English, United Kingdom) decide
# whether an installation may replace another copy of it.
msibuild "$stage/package.msi" -q "UPDATE \`File\` SET \`Version\` = '$version', \`Language\` = '2057' WHERE \`File\` = 'TavrinBankOfVelmoraSEPA.dll'"
mv "$stage/package.msi" "$msi"
echo "$msi"
