#!/usr/bin/env python3
"""Counts the regular files of each application of a backup's manifest database
(Manifest.mbdx + Manifest.mbdb), in one pass over its index: the plain way to do what
`salvora-cli apps BACKUP --json` does, the reference the benchmark times it against."""
import json
import struct
import sys

folder = sys.argv[1]
with open(folder + "/Manifest.mbdx", "rb") as index_file:
    index = index_file.read()
with open(folder + "/Manifest.mbdb", "rb") as database_file:
    database = database_file.read()
if index[:6] != b"mbdx\x02\x00" or database[:6] != b"mbdb\x05\x00":
    sys.exit("not a manifest database")

(count,) = struct.unpack_from(">I", index, 6)
entries = index[10 : 10 + 26 * count]
read_length = struct.Struct(">H").unpack_from
application_of = {}  # domain bytes -> application name
files = {}
for _key, offset, mode in struct.iter_unpack(">20sIH", entries):
    if mode & 0xF000 != 0x8000:
        continue
    start = 6 + offset
    (length,) = read_length(database, start)
    domain = database[start + 2 : start + 2 + length] if length != 0xFFFF else b""
    application = application_of.get(domain)
    if application is None:
        text = domain.decode("utf-8", "replace").replace("AppDomain-", "")
        application = application_of[domain] = text.rsplit(".", 1)[-1]
    files[application] = files.get(application, 0) + 1

print(json.dumps([{"name": name, "files": n} for name, n in sorted(files.items())], indent=2))
