#!/usr/bin/env python3
"""Times xsltproc with the pain.001 stylesheet on generated credit transfer
documents of growing size and prints the time per payment, so that a step
that grows faster than the number of payments shows up as a rising ratio.

A benchmark, not a test: it asserts nothing about time.

    pain001_stylesheet_timing.py [COUNT ...] [--runs N]
"""

import argparse
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import make_credit_transfer_document as generator  # noqa: E402

STYLESHEET = Path(__file__).resolve().parent.parent.parent / "resources" / "Pain001.xslt"
NS = "{urn:iso:std:iso:20022:tech:xsd:pain.001.001.03}"


def best_time(source, output, runs):
    best = None
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(["xsltproc", "--nonet", "--output", str(output),
                        str(STYLESHEET), str(source)], check=True)
        elapsed = time.perf_counter() - start
        best = elapsed if best is None else min(best, elapsed)
    return best


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("counts", type=int, nargs="*", default=[10000, 99999])
    parser.add_argument("--runs", type=int, default=3)
    arguments = parser.parse_args()

    baseline = None
    with tempfile.TemporaryDirectory() as work:
        for count in arguments.counts:
            source = Path(work) / ("%d.xml" % count)
            output = Path(work) / ("%d.pain001.xml" % count)
            with open(source, "w", encoding="ascii", newline="\n") as stream:
                generator.write_document(count, stream)
            seconds = best_time(source, output, arguments.runs)
            per_payment = seconds / count
            baseline = baseline or per_payment
            control_sum = ET.parse(output).getroot().find(
                NS + "CstmrCdtTrfInitn/" + NS + "GrpHdr/" + NS + "CtrlSum").text
            exact = "%.2f" % generator.amount_total(count)
            print("%6d payments: %7.3f s, %6.2f us per payment, ratio %.2f;"
                  " CtrlSum %s (exact %s)" % (
                      count, seconds, per_payment * 1e6,
                      per_payment / baseline, control_sum, exact))
    return 0


if __name__ == "__main__":
    sys.exit(main())
