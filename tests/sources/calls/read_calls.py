#!/usr/bin/env python3
"""Prints as JSON what csv and html.parser read in an export of calls: every row of each."""
import csv
import html.parser
import json
import os
import sys


class TableReader(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.rows = []
        self.cell = None

    def handle_starttag(self, tag, attrs):
        if tag == "tr":
            self.rows.append([])
        elif tag in ("td", "th"):
            self.cell = ""

    def handle_endtag(self, tag):
        if tag in ("td", "th"):
            self.rows[-1].append(self.cell)
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data


def main(folder):
    with open(os.path.join(folder, "calls.csv"), encoding="utf-8", newline="") as file:
        rows = list(csv.reader(file, strict=True))
    reader = TableReader()
    with open(os.path.join(folder, "calls.html"), encoding="utf-8") as file:
        reader.feed(file.read())
    json.dump({"csv": rows, "html": reader.rows}, sys.stdout, ensure_ascii=False)


main(sys.argv[1])
