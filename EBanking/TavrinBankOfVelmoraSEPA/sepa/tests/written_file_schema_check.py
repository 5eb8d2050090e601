#!/usr/bin/env python3
"""Validates the payment files that the component wrote under Wine against the
ISO 20022 pain.001.001.03 schema and its SEPA (EPC) restriction, with xmllint.

The Wine test sepa_pain001_file_values_test leaves the files of its valid
batches in FOLDER; each name given with --expect must be there, and DIR must
hold both schemas (the repository keeps them in third_party/iso20022).

    written_file_schema_check.py --schemas DIR --files FOLDER --expect NAME...
"""

import argparse
import shutil
import subprocess
import sys
from pathlib import Path

SCHEMAS = ("pain.001.001.03.xsd", "pain.001.001.03-epc.xsd")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--schemas", type=Path, required=True)
    parser.add_argument("--files", type=Path, required=True)
    parser.add_argument("--expect", nargs="+", required=True)
    arguments = parser.parse_args()

    if shutil.which("xmllint") is None:
        print("ERROR: xmllint not found; install the libxml2-utils package")
        return 1

    missing = [name for name in arguments.expect
               if not (arguments.files / name).is_file()]
    if missing:
        print("FAIL: %s did not receive %s from the Wine test"
              % (arguments.files, ", ".join(missing)))
        return 1

    schema_dir = arguments.schemas.resolve()
    absent = [schema for schema in SCHEMAS if not (schema_dir / schema).is_file()]
    if absent:
        print("FAIL: %s does not hold %s" % (schema_dir, " and ".join(absent)))
        return 1

    failures = 0
    for name in arguments.expect:
        for schema in SCHEMAS:
            result = subprocess.run(
                ["xmllint", "--noout", "--nonet", "--schema",
                 str(schema_dir / schema), str(arguments.files / name)],
                capture_output=True, text=True)
            if result.returncode == 0:
                print("ok   %s against %s" % (name, schema))
            else:
                failures += 1
                print("FAIL %s against %s:\n%s" % (name, schema, result.stderr.strip()))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
