#!/usr/bin/env python3
"""Writes the hand-picked seed inputs under fuzz/corpus/<target>/.

The seeds are committed; this script says what each one is and rewrites them. Inputs that the
fuzzers found and that once broke a property are added under corpus/<target>/ by hand as
crash-<name> files and are left alone here.

Layouts (see the targets' own comments):
  fuzz_cstring        a byte program for FuzzedDataProvider; plain texts make good starts
  fuzz_identifiers    one byte: the CleanText limit (0: none), then the text in code page 1252
  fuzz_mapping_parser the bytes of a mapping file
  fuzz_transliterate  mode byte (0 shipped table, 1 table from the input), split byte,
                      [table length byte, table text,] then UTF-16LE text
"""

import pathlib

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"


def cstring():
    return {
        "short_text": b"Tavrin Bank",
        "long_text_for_format": b"x" * 300 + b"%s%d",
        "texts_with_nul": b"abc\x00def\x00" + b"0123456789" * 8,
        "mixed_operations": bytes(range(256)),
    }


def identifiers():
    seventy = b"ABCDEFGHIJ" * 7
    return {
        "iban_with_spaces": b"\x00DE44 5001 0517 5407 3249 31",
        "iban_lower_case": b"\x00vm12tavr0000123456789",
        "iban_too_short": b"\x00AB 1 2",
        "iban_35_characters": b"\x00VM12" + b"1" * 31,
        "iban_with_tab": b"\x00VM12\t3456 7890",
        "bic_eight": b"\x00TAVRVMV2",
        "bic_eleven_lower_with_spaces": b"\x00tavr vm 2a xxx",
        "bic_letter_o_eighth": b"\x00TAVRVMVO",
        "bic_one_seventh": b"\x00TAVRVM1AXXX",
        "name_with_accents_cp1252": b"F  --M\xfcller & S\xf6hne GmbH!! ",
        "name_spaces_then_seventy_letters": b"F   " + seventy,
        "only_punctuation": b"F - . , ; ! ",
        "utf16_iban_with_euro": "DE44 5001 0517 \u20ac".encode("utf-16-le"),
    }


def mapping_parser():
    with open(CORPUS.parent.parent / "EBanking/TavrinBankOfVelmoraSEPA/resources/Mappings.csv", "rb") as f:
        shipped_head = b"".join(f.readlines()[:40])
    return {
        "shipped_table_head": shipped_head,
        "byte_order_mark": b"\xef\xbb\xbfU+0041,U+0042\r\nU+0043,U+0044\r\n",
        "crlf_and_ctrl_z": b"U+0041,U+0042\r\nU+0043,\r\nU+0044,U+\r\n\x1aU+0046,U+0047\r\n",
        "bare_u_plus": b"U+0041,U+\n",
        "duplicates": b"U+0041,U+0042\nU+0041,U+0058\n",
        "five_hex_digits": b"U+1F600,U+0041\nU+12345678,U+123456789\n",
        "odd_fields": b"U+-41,U+0x41\nU+ \t41,U++41\nU+12G4,junk\nU+0047\nU+0048,U+0049\nU+004A,U+004B",
        "short_fields": b"U,U+0041\nU+0041,U\nU+0043,\n,\n",
    }


def transliterate():
    def shipped(text, split=0):
        return bytes([0, split]) + text.encode("utf-16-le")

    def own(table, text, split=0):
        return bytes([1, split, len(table)]) + table + text.encode("utf-16-le")

    return {
        "shipped_latin_names": shipped("M\u00fcller & S\u00f6hne, O'Brien, \u00c6r\u00f8", 7),
        "shipped_greek_cyrillic": shipped("\u0398\u03b5\u03c3\u03c3\u03b1\u03bb\u03bf\u03bd\u03af\u03ba\u03b7 \u0429\u0443\u043a\u0430", 3),
        "shipped_currency": shipped("\u00a3100 \u20ac5 `quoted'"),
        "shipped_outside_the_table": shipped("\u4e2d\u6587 \u0460 \U0001F600", 2),
        "shipped_controls": shipped("Line 1\r\nLine 2\t\x00end", 6),
        "own_table_deletions_and_controls": own(b"U+0041,U+\nU+0062,U+0009\nU+0063,U+0000\n", "AbrAhAm cab", 4),
        "own_table_with_byte_order_mark": own(b"\xef\xbb\xbfU+0041,U+0042\r\nU+0000,U+0058\r\n", "A\x00B"),
    }


def main():
    for target, seeds in (("fuzz_cstring", cstring()), ("fuzz_identifiers", identifiers()),
                          ("fuzz_mapping_parser", mapping_parser()),
                          ("fuzz_transliterate", transliterate())):
        folder = CORPUS / target
        folder.mkdir(parents=True, exist_ok=True)
        for name, data in seeds.items():
            (folder / name).write_bytes(data)


if __name__ == "__main__":
    main()
