#!/usr/bin/env python3
"""Draws the payment details dialog's icon, a small bank building, and writes
it as DialogIcon.ico with a 32x32 and a 16x16 image (32-bit colour with alpha
plus the 1-bit mask older shells read).

Run it from anywhere; it writes next to itself. Pass --preview DIR to also
write enlarged PNG copies for a quick look. Needs only the standard library.
"""

import os
import struct
import sys
import zlib

NAVY = (0x1F, 0x3A, 0x68)
BLUE = (0x3C, 0x6D, 0xB4)
STONE = (0xF2, 0xF4, 0xF7)
SHADE = (0xC9, 0xD3, 0xE0)
GOLD = (0xE8, 0xB0, 0x2A)

SUBSAMPLES = 4  # per axis, for smooth diagonal edges


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def triangle(ax, ay, bx, by, cx, cy):
    def edge(px, py, qx, qy, x, y):
        return (qx - px) * (y - py) - (qy - py) * (x - px)

    def inside(x, y):
        d1 = edge(ax, ay, bx, by, x, y)
        d2 = edge(bx, by, cx, cy, x, y)
        d3 = edge(cx, cy, ax, ay, x, y)
        has_neg = d1 < 0 or d2 < 0 or d3 < 0
        has_pos = d1 > 0 or d2 > 0 or d3 > 0
        return not (has_neg and has_pos)

    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def bank_shapes(size):
    """The building as (shape, colour) layers, back to front, in pixels."""
    if size == 32:
        columns = [(5, 9), (11, 15), (17, 21), (23, 27)]
        return [
            # roof: navy outline, blue face, gold coin in the gable
            (triangle(16, 1, 0.5, 11, 31.5, 11), NAVY),
            (triangle(16, 3.2, 4.5, 10, 27.5, 10), BLUE),
            (circle(16, 7.3, 2.1), GOLD),
            # beam under the roof
            (rect(2, 11, 30, 14), NAVY),
            # columns with a shaded right side, between the beam and the base
            *[(rect(a, 14, b, 25), NAVY) for a, b in columns],
            *[(rect(a + 1, 14, b - 1, 25), STONE) for a, b in columns],
            *[(rect(b - 2, 14, b - 1, 25), SHADE) for a, b in columns],
            # two steps
            (rect(2, 25, 30, 28), NAVY),
            (rect(3, 26, 29, 27), BLUE),
            (rect(0, 28, 32, 31), NAVY),
        ]
    if size == 16:
        columns = [(2, 5), (6, 10), (11, 14)]
        return [
            (triangle(8, 0.5, 0, 6, 16, 6), NAVY),
            (triangle(8, 2.2, 3, 5, 13, 5), GOLD),
            (rect(1, 6, 15, 7), NAVY),
            *[(rect(a, 7, b, 13), NAVY) for a, b in columns],
            *[(rect(a + 1, 7, b - 1, 13), STONE) for a, b in columns],
            (rect(1, 13, 15, 14), NAVY),
            (rect(0, 14, 16, 16), NAVY),
        ]
    raise ValueError(size)


def render(size):
    """Returns rows of (r, g, b, a), top row first."""
    layers = bank_shapes(size)
    pixels = []
    n = SUBSAMPLES
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(n):
                for sx in range(n):
                    x = px + (sx + 0.5) / n
                    y = py + (sy + 0.5) / n
                    colour = None
                    for inside, c in layers:
                        if inside(x, y):
                            colour = c
                    if colour:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        a += 1
            if a:
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / (n * n))))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def dib(pixels):
    """An icon image: header, colour rows and mask rows, all bottom-up."""
    size = len(pixels)
    colour = b"".join(
        bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + bytes(mask)


def ico(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    data = b""
    for size, image in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32,
                               len(image), offset + len(data))
        data += image
    return directory + entries + data


def png(pixels, scale):
    size = len(pixels) * scale
    raw = b""
    for row in pixels:
        line = b"\0" + b"".join(bytes(p) * scale for p in row)
        raw += line * scale

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    rendered = [(size, render(size)) for size in (32, 16)]
    with open(os.path.join(here, "DialogIcon.ico"), "wb") as out:
        out.write(ico([(size, dib(pixels)) for size, pixels in rendered]))
    if len(argv) == 3 and argv[1] == "--preview":
        for size, pixels in rendered:
            with open(os.path.join(argv[2], "DialogIcon%d.png" % size), "wb") as out:
                out.write(png(pixels, 256 // size))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
