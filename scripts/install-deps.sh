#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, and any named on the command
# line, only when some are missing.  usage: install-deps.sh [PACKAGE...]
# wine32 is deliberately absent: this kernel cannot run 32-bit code, and with wine32 installed
# the `wine` launcher would choose a loader that cannot start.
set -euo pipefail

packages=(
  cmake make python3
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
  wine wine64 libwine-dev
  xvfb xauth x11-utils
  libxml2-utils xsltproc
  googletest
  clang-format
  wixl msitools
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
