#!/usr/bin/env python3
"""Prints as JSON what vobject and csv read in an export of contacts: every card, every row."""
import csv
import json
import os
import sys

import vobject


def card_of(card):
    labels = {c.group: c.value for c in card.getChildren() if c.name == "X-ABLABEL" and c.group}
    values = []
    for child in card.getChildren():
        if child.name in ("VERSION", "X-ABLABEL", "PHOTO", "N", "ADR", "CATEGORIES", "ORG"):
            continue
        types = sorted(t.upper() for t in child.params.get("TYPE", []))
        values.append([child.name, ",".join(types), labels.get(child.group, ""), child.value])
    result = {"values": values}
    if "n" in card.contents:
        n = card.n.value
        result["n"] = [n.family, n.given, n.additional, n.prefix, n.suffix]
    if "adr" in card.contents:
        a = card.adr.value
        result["adr"] = [a.street, a.city, a.code, a.country]
    if "org" in card.contents:
        result["org"] = card.org.value
    if "categories" in card.contents:
        result["categories"] = card.categories.value
    if "photo" in card.contents:
        result["photo"] = card.photo.value.hex()
    return result


def cards_in(path):
    with open(path, encoding="utf-8", newline="") as file:
        text = file.read()
    if any(len(line.encode("utf-8")) > 75 for line in text.split("\r\n")):
        raise SystemExit("a line longer than 75 octets")
    return [card_of(card) for card in vobject.readComponents(text)]


def main(folder):
    out = {"cards": cards_in(os.path.join(folder, "contacts.vcf")), "files": {}}
    vcards = os.path.join(folder, "vcards")
    if os.path.isdir(vcards):
        for name in sorted(os.listdir(vcards)):
            out["files"][name] = cards_in(os.path.join(vcards, name))
    with open(os.path.join(folder, "contacts.csv"), encoding="utf-8", newline="") as file:
        out["csv"] = list(csv.reader(file))
    json.dump(out, sys.stdout, ensure_ascii=False)


main(sys.argv[1])
