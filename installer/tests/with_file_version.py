#!/usr/bin/env python3
"""Copies a DLL with another file version in its version resource's fixed part, the one that
installers compare: with_file_version.py DLL 1.0.1.1 COPY"""
import struct
import sys

source, version, copy = sys.argv[1:4]
fields = [int(part) for part in version.split(".")]
with open(source, "rb") as f:
    image = bytearray(f.read())
at = image.find(struct.pack("<I", 0xFEEF04BD))
if len(fields) != 4 or at < 0:
    sys.exit("with_file_version.py: no version resource, or not a four-part version")
struct.pack_into("<II", image, at + 8, fields[0] << 16 | fields[1], fields[2] << 16 | fields[3])
with open(copy, "wb") as f:
    f.write(image)
