#!/usr/bin/env bash
# Builds the two installer packages into dist/, with what travels beside them:
#   TavrinBankOfVelmoraSEPA-<version>-x86.msi   the product: the i686 DLL, for 32-bit hosts
#   TavrinBankOfVelmoraSEPA-<version>-x64.msi   the x86_64 build, which the tests install
#   symbols-x86/, symbols-x64/                  each DLL's separate debug symbols
#   integration.md                              the integrator's guide
#   SHA256SUMS                                  sha256sum -c SHA256SUMS checks them all
# Installs what is missing and builds only the two DLLs that are out of date.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh"

for arch in i686 x86_64; do
  echo "== building the $arch DLL"
  SEPA_BUILD_TARGETS=TavrinBankOfVelmoraSEPA "$root/scripts/build.sh" "$arch"
done

# Both packages come from one source tree, so they must carry one version.
versions=$(for arch in i686 x86_64; do python3 "$root/installer/dll_version.py" "$root/build/$arch/bin/TavrinBankOfVelmoraSEPA.dll"; done | sort -u)
if [ "$(echo "$versions" | wc -l)" -ne 1 ]; then
  echo "package.sh: the two DLLs carry different versions:" $versions >&2
  exit 1
fi

dist=$root/dist
rm -rf "$dist"
mkdir -p "$dist"
echo "== packaging"
"$root/installer/make-msi.sh" x86 "$root/build/i686/bin/TavrinBankOfVelmoraSEPA.dll" "$dist" >/dev/null
"$root/installer/make-msi.sh" x64 "$root/build/x86_64/bin/TavrinBankOfVelmoraSEPA.dll" "$dist" >/dev/null
for pair in x86:i686 x64:x86_64; do
  mkdir -p "$dist/symbols-${pair%%:*}"
  cp "$root/build/${pair#*:}/bin/TavrinBankOfVelmoraSEPA.dll.debug" "$dist/symbols-${pair%%:*}/"
done
cp "$root/docs/integration.md" "$dist/"
(cd "$dist" && find . -type f ! -name SHA256SUMS -printf '%P\n' | sort | xargs sha256sum >SHA256SUMS)
echo "== dist/"
(cd "$dist" && cat SHA256SUMS)
