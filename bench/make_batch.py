#!/usr/bin/env python3
"""Writes a batch CSV for the host runner with COUNT payments that all pass the
component's checks: supplier names with accents and company forms, IBANs of
several SEPA countries with correct check digits, BICs of the same country,
amounts in cents, invoice and customer references, one execution date and the
OIN on the first row.

The same seed gives the same file, so runs on different days compare.

Two shapes: "clean" (the default) writes every identifier as the bank wants it; "typed" writes
the batch as a clerk types it: IBANs in groups of four with blanks, BICs in lower case, and a
payee reference on two payments out of three.

    make_batch.py COUNT OUTPUT.csv [--seed N] [--date YYYY-MM-DD] [--shape clean|typed]
"""

import argparse
import csv
import datetime
import random
import string

COLUMNS = ["payer_name", "payer_iban", "payer_bic", "payee_name", "payee_iban", "payee_bic", "amount",
           "currency1", "currency2", "payment_reference", "payee_reference", "execution_date", "oin"]

PAYER = ("Velmora Trading Ltd", "DE89 3704 0044 0532 0130 00", "COBADEFFXXX")
OIN = "VELMORA-OIN-0042"

# Country, IBAN length and the shape of the basic bank account number: n digit, a letter,
# c letter or digit.
COUNTRIES = [
    ("DE", "nnnnnnnnnnnnnnnnnn"),
    ("FR", "nnnnnnnnnn" + "c" * 11 + "nn"),
    ("NL", "aaaannnnnnnnnn"),
    ("BE", "nnnnnnnnnnnn"),
    ("AT", "nnnnnnnnnnnnnnnn"),
    ("ES", "nnnnnnnnnnnnnnnnnnnn"),
    ("IT", "annnnnnnnnn" + "c" * 12),
    ("PT", "nnnnnnnnnnnnnnnnnnnnn"),
    ("FI", "nnnnnnnnnnnnnn"),
    ("IE", "aaaannnnnnnnnnnnnn"),
    ("LU", "nnnccccccccccccc"),
    ("PL", "nnnnnnnnnnnnnnnnnnnnnnnn"),
]

FIRST_NAMES = ["José", "Zoë", "Søren", "Łukasz", "François", "Jürgen", "Inês", "Åsa", "Mónica", "Gérard",
               "Björn", "Małgorzata", "Ana", "Dvořák", "Renée", "Íñigo", "Ødegaard", "Hélène", "Tomáš",
               "Grégoire", "Margarete", "Paolo", "Chloé", "Niamh"]
SURNAMES = ["Müller", "Schäfer", "Álvarez", "Nørgaard", "Wiśniewski", "Lefèvre", "Gonçalves", "Kovačević",
            "Sánchez", "Öztürk", "Brontë", "Åkesson", "Dupré", "Weiß", "O'Sullivan", "D'Amico", "Ibáñez",
            "Häkkinen", "Černý", "Van der Straeten", "García-Márquez", "Fernández", "Zielińska", "Haßler"]
TRADES = ["Bäckerei", "Café", "Métallurgie", "Construcciones", "Ingeniería", "Schreinerei", "Boulangerie",
          "Trädgård", "Transportes", "Elektro", "Papelería", "Fromagerie", "Druckerei", "Ferragens",
          "Möbelwerkstatt", "Librería"]
FORMS = ["GmbH", "S.A.", "B.V.", "S.r.l.", "Oy", "ApS", "SARL", "Lda.", "Sp. z o.o.", "AG", "& Söhne KG",
         "S.L.", "NV", "Ltd", "e.K.", "s.r.o."]


def check_digits(country, bban):
    """The two digits that make country + digits + bban pass the modulo 97 check."""
    rearranged = bban + country + "00"
    number = "".join(str(int(c, 36)) for c in rearranged)
    return "%02d" % (98 - int(number) % 97)


def iban(rng, country, shape):
    pick = {"n": string.digits, "a": string.ascii_uppercase, "c": string.ascii_uppercase + string.digits}
    bban = "".join(rng.choice(pick[kind]) for kind in shape)
    return country + check_digits(country, bban) + bban


def bic(rng, country):
    bank = "".join(rng.choice(string.ascii_uppercase) for _ in range(4))
    location = rng.choice("23456789ABCDEFGHJKLMNPQRSTUVWXYZ") + rng.choice("0123456789ABCDEFGHIJKLMNPQRSTUVWXYZ")
    branch = rng.choice(["", "XXX", "%03d" % rng.randrange(1000)])
    return bank + country + location + branch


def payee_name(rng):
    kind = rng.randrange(3)
    if kind == 0:
        return "%s %s" % (rng.choice(FIRST_NAMES), rng.choice(SURNAMES))
    if kind == 1:
        return "%s %s %s" % (rng.choice(TRADES), rng.choice(SURNAMES), rng.choice(FORMS))
    return "%s & %s %s" % (rng.choice(SURNAMES), rng.choice(SURNAMES), rng.choice(FORMS))


def amount(rng):
    # Mostly everyday invoices, now and then a large one.
    cents = rng.randrange(100, 250000) if rng.random() < 0.9 else rng.randrange(250000, 5000000)
    return "%d.%02d" % divmod(cents, 100)


def grouped(identifier):
    return " ".join(identifier[i:i + 4] for i in range(0, len(identifier), 4))


def rows(count, seed, execution_date, typed=False):
    rng = random.Random(seed)
    for index in range(count):
        country, shape = rng.choice(COUNTRIES)
        reference = "INV-%d-%06d" % (2026, index + 1)
        # Drawn in the order the clean shape always drew them, so its files stay as they were.
        name = payee_name(rng)
        payee_iban = iban(rng, country, shape)
        payee_bic = bic(rng, country)
        value = amount(rng)
        payee_reference = "Customer %d / Order %d" % (rng.randrange(10000, 99999), index + 1)
        if typed:
            payee_iban = grouped(payee_iban)
            payee_bic = payee_bic.lower()
            if index % 3 == 2:
                payee_reference = ""
        yield {
            "payer_name": PAYER[0], "payer_iban": PAYER[1], "payer_bic": PAYER[2].lower() if typed else PAYER[2],
            "payee_name": name,
            "payee_iban": payee_iban,
            "payee_bic": payee_bic,
            "amount": value,
            "currency1": "978", "currency2": "978",
            "payment_reference": reference,
            "payee_reference": payee_reference,
            "execution_date": execution_date,
            "oin": OIN if index == 0 else "",
        }


def next_working_day(day):
    """The payment details dialog refuses weekend execution dates."""
    while day.weekday() >= 5:
        day += datetime.timedelta(days=1)
    return day


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("count", type=int)
    parser.add_argument("output")
    parser.add_argument("--seed", type=int, default=20260)
    parser.add_argument("--date", default=next_working_day(datetime.date.today() + datetime.timedelta(days=7)).isoformat())
    parser.add_argument("--shape", choices=["clean", "typed"], default="clean")
    arguments = parser.parse_args()
    with open(arguments.output, "w", encoding="utf-8", newline="") as stream:
        writer = csv.DictWriter(stream, fieldnames=COLUMNS, lineterminator="\r\n")
        writer.writeheader()
        writer.writerows(rows(arguments.count, arguments.seed, arguments.date, arguments.shape == "typed"))


if __name__ == "__main__":
    main()
