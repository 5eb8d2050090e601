#!/usr/bin/env python3
"""Prints the file version of a Windows DLL, as its version resource's fixed part gives it:
dll_version.py FILE -> 1.0.0.1"""
import struct
import sys

# VS_FIXEDFILEINFO begins with this signature, then the structure version, then the file version.
SIGNATURE = struct.pack("<I", 0xFEEF04BD)

with open(sys.argv[1], "rb") as f:
    image = f.read()
at = image.find(SIGNATURE)
if at < 0 or image.find(SIGNATURE, at + 1) >= 0:
    sys.exit(f"dll_version.py: {sys.argv[1]} has no single version resource")
most, least = struct.unpack_from("<II", image, at + 8)
print(f"{most >> 16}.{most & 0xFFFF}.{least >> 16}.{least & 0xFFFF}")
