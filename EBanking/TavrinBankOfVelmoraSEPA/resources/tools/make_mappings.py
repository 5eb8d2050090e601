#!/usr/bin/env python3
"""Writes resources/Mappings.csv, the character mapping table embedded in the DLL.

Each line maps one UTF-16 code unit to the character that replaces it in a
SEPA file, as "U+XXXX,U+YYYY" with CR LF line ends. A line with an empty
replacement ("U+0041 ,") keeps its character; the reader makes no entry for it.

The rules below are the table's source of truth; the CSV is committed and is
what ships. Run with no arguments to rewrite the CSV, or with --check to fail
when the committed file differs from what the rules give.
"""

import argparse
import pathlib
import sys

OUTPUT = pathlib.Path(__file__).resolve().parent.parent / "Mappings.csv"

# Characters SEPA accepts as they are.
KEPT = set(" ()+,-./0123456789:?") | set(
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")

# The remaining printable ASCII characters (and DEL), each with its stand-in.
ASCII_REPLACEMENTS = {
    "!": ".", "#": ".", "$": ".", "%": ".", "*": ".", "<": ".", "=": ".",
    ">": ".", "@": ".", "^": ".", "\x7f": ".",
    '"': " ", "'": " ",
    "&": "+",
    ";": ",",
    "[": "(", "{": "(",
    "]": ")", "}": ")",
    "\\": "/", "|": "/",
    "_": "-", "~": "-",
    "`": "'",
}

# Blocks written out one replacement per code point, in code point order.
BLOCKS = {
    # Latin-1 letters
    0x00C0: "AAAAAAACEEEEIIII.NOOOOO.OUUUUYbsaaaaaaaceeeeiiii.nooooo.ouuuuypy",
    # Latin Extended-A
    0x0100: "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHiHiIiIiIiIiIiIiJjKk.LlLlLlLl"
            "LlNnNnNn.......OoOoRrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZz.",
    # Greek and Coptic
    0x0370: "......................A.EII.O.YOiAVGDEZITIKLMNXOPR.STYFCPOIYaeiiy"
            "avgdezitiklmnxoprsstyfcpoiyoyo..................................."
            "..............",
    # Cyrillic (basic block)
    0x0400: "................ABVGDEZZIYKLMNOPRSTUFHTCSSA.Y.YYabvgdezziyklmnoprs"
            "tufhtcssa.y.yy................",
}

# Single code points that differ from the full stop of their range.
SINGLE = {
    0x00A0: " ",  # no-break space
    0x00BF: "?",  # inverted question mark
    0x0218: "S", 0x0219: "s",  # S and s with comma below
    0x021A: "T", 0x021B: "t",  # T and t with comma below
    0x20AC: "E",  # euro sign
}

# Lines whose replacement field carries a trailing space in the shipped table.
# The reader ignores it; it is kept so the file's bytes stay as shipped.
TRAILING_SPACE = {0x0022, 0x0027, 0x00A0, 0x00BF,
                  0x0218, 0x0219, 0x021A, 0x021B, 0x20AC}

CODE_POINTS = list(range(0x0020, 0x0460)) + [0x20AC]


def replacement(cp):
    """The replacement character of a code point, or None to keep it."""
    ch = chr(cp)
    if cp < 0x80 and ch in KEPT:
        return None
    if ch in ASCII_REPLACEMENTS:
        return ASCII_REPLACEMENTS[ch]
    if cp in SINGLE:
        return SINGLE[cp]
    for start, chars in BLOCKS.items():
        if start <= cp < start + len(chars):
            return chars[cp - start]
    return "."  # everything else in the table's range


def line(cp):
    key = "U+%04X" % cp
    rep = replacement(cp)
    if rep is None:
        # Letters carry a space before the comma, as the shipped table does.
        return key + (" ," if chr(cp).isalpha() else ",")
    value = "U+%04X" % ord(rep)
    return key + "," + value + (" " if cp in TRAILING_SPACE else "")


def table_bytes():
    for start, chars in BLOCKS.items():
        assert len(chars) == {0x00C0: 64, 0x0100: 128,
                              0x0370: 144, 0x0400: 96}[start], hex(start)
    return "".join(line(cp) + "\r\n" for cp in CODE_POINTS).encode("ascii")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="compare with the committed file instead of writing it")
    parser.add_argument("--output", type=pathlib.Path, default=OUTPUT)
    args = parser.parse_args()

    data = table_bytes()
    if args.check:
        if args.output.read_bytes() != data:
            print("%s differs from the rules" % args.output, file=sys.stderr)
            return 1
        return 0
    args.output.write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
