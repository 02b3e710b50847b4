#!/usr/bin/env python3
"""Groups the regular files of a backup's Manifest.db by domain: the reference the benchmark
times `salvora-cli apps BACKUP --json` against on that layout."""
import json, sqlite3, sys

database = sqlite3.connect(f"file:{sys.argv[1]}/Manifest.db?mode=ro&immutable=1", uri=True)
rows = database.execute("SELECT domain, count(*) FROM Files WHERE flags = 1 GROUP BY domain")
print(json.dumps([{"domain": domain, "files": n} for domain, n in rows], indent=2))
