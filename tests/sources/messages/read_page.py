"""Reads an exported HTML page with Python's own HTML parser and prints what a test checks, as
JSON: the text of each element of a class, the elements left open or closed without opening,
and the number of <script> elements."""
import json
import sys
from html.parser import HTMLParser

VOID = {"meta", "img", "br", "input", "link", "hr", "source"}


class Page(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.open, self.unbalanced, self.scripts, self.texts = [], [], 0, {}
        self.classes = []

    def handle_starttag(self, tag, attrs):
        if tag == "script":
            self.scripts += 1
        if tag in VOID:
            return
        self.open.append(tag)
        self.classes.append(dict(attrs).get("class") or "")
        self.texts.setdefault(self.classes[-1], []).append("")

    def handle_endtag(self, tag):
        if not self.open or self.open[-1] != tag:
            self.unbalanced.append(tag)
            return
        self.open.pop()
        self.classes.pop()

    def handle_data(self, data):
        for cls in set(self.classes):
            self.texts[cls][-1] += data


page = Page()
page.feed(open(sys.argv[1], encoding="utf-8").read())
page.close()
print(json.dumps({"unbalanced": page.unbalanced + page.open, "scripts": page.scripts,
                  "texts": {k: [t for t in v if t] for k, v in page.texts.items()}}))
