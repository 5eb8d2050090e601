#!/usr/bin/env bash
# Renders the payment details dialog as a person sees it, into docs/payment-details-dialog.png.
# usage: scripts/render-dialog.sh [OUTPUT.png]
#
# Runs the host runner without --auto (so the dialog waits for a person) on the built-in sample
# batch, in a Wine prefix of its own and on a virtual display of its own whose frame buffer
# Xvfb keeps in a file; once the dialog is on screen its rectangle is cut out of that frame
# buffer and written as a PNG. Needs only what the tests need (Xvfb, xwininfo, python3).
# A documentation tool, not part of the test run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$(realpath -m -- "${1:-$root/docs/payment-details-dialog.png}")
build=${TAVRIN_BUILD_DIR:-$root/build/x86_64}
caption="Bank of Velmora SEPA Payment Processing"

"$root/scripts/install-deps.sh"
[ -n "${TAVRIN_NO_BUILD:-}" ] || "$root/scripts/build.sh" x86_64 >&2

work=$(mktemp -d)
export SEPA_WINEPREFIX="$build/render-wineprefix"
source "$root/scripts/wine-env.sh" "$build"

runner=
cleanup() {
  # Only this prefix's Wine processes, which this script started.
  "$WINESERVER" -k >/dev/null 2>&1 || true
  [ -z "$runner" ] || wait "$runner" 2>/dev/null || true
  stop_private_display
  rm -rf "$work"
}
trap cleanup EXIT
# A display of our own whose screen is mirrored into $work/Xvfb_screen0 (XWD format).
unset DISPLAY
start_private_display -fbdir "$work" -nocursor

# The prepared prefix has Wine draw the windows' frames and captions itself, as on Windows
# (there is no window manager). The default payment directory is a folder of the prefix's own
# C: drive, so the save path reads as a user would see it.
wine_prepare_prefix
# Wine's own fonts, which this Wine does not find by itself: the captions' buttons are drawn
# with Marlett, and the dialog asks for MS Sans Serif.
for font in /usr/share/wine/fonts/*.ttf; do
  target="$WINEPREFIX/drive_c/windows/Fonts/$(basename "$font")"
  if [ -f "$font" ] && [ ! -e "$target" ]; then cp "$font" "$target"; fi
done
mkdir -p "$WINEPREFIX/drive_c/Payments"
"$WINE64" "$build/bin/tavrin-host.exe" --payment-dir 'C:\Payments' >/dev/null 2>&1 &
runner=$!

geometry=
for _ in $(seq 1 600); do
  if info=$(xwininfo -name "$caption" 2>/dev/null) && grep -q "Map State: IsViewable" <<<"$info"; then
    geometry=$(awk -F: '/Absolute upper-left X/ {x=$2} /Absolute upper-left Y/ {y=$2}
                        /^ *Width/ {w=$2} /^ *Height/ {h=$2} END {print x+0, y+0, w+0, h+0}' <<<"$info")
    break
  fi
  kill -0 "$runner" 2>/dev/null || { echo "render-dialog: the runner ended before its dialog showed" >&2; exit 1; }
  sleep 0.2
done
[ -n "$geometry" ] || { echo "render-dialog: the dialog did not appear" >&2; exit 1; }
sleep 2  # lets the dialog finish painting its controls

mkdir -p "$(dirname "$out")"
python3 - "$work/Xvfb_screen0" "$out" $geometry <<'PY'
import struct, sys, zlib

source, target = sys.argv[1], sys.argv[2]
left, top, width, height = map(int, sys.argv[3:7])
data = open(source, "rb").read()
# XWD: a header of big-endian 32-bit fields, the window name, the colour map, then the pixels.
fields = struct.unpack(">25I", data[:100])
header_size, pixmap_width, pixmap_height = fields[0], fields[4], fields[5]
byte_order, bits_per_pixel, bytes_per_line, ncolors = fields[7], fields[11], fields[12], fields[19]
assert bits_per_pixel == 32, "expects a 24-bit screen kept in 32-bit pixels"
pixels = data[header_size + 12 * ncolors:]
left, top = max(left, 0), max(top, 0)
width, height = min(width, pixmap_width - left), min(height, pixmap_height - top)

rows = bytearray()
for y in range(top, top + height):
    row = pixels[y * bytes_per_line + 4 * left: y * bytes_per_line + 4 * (left + width)]
    rows.append(0)  # no filter
    for x in range(0, len(row), 4):
        b, g, r = (row[x], row[x + 1], row[x + 2]) if byte_order == 0 else (row[x + 3], row[x + 2], row[x + 1])
        rows += bytes((r, g, b))

def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b"")
open(target, "wb").write(png)
print(f"render-dialog: wrote {target} ({width}x{height})")
PY
