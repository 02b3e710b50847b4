#!/usr/bin/env bash
# Builds the benchmarks and runs them, giving the figures of the README's Performance section:
# the catalogue builds of a 1,000,000-file backup in both database layouts against reading
# their files, whole `salvora-cli apps` and `files` processes on it against the Python
# references in bench/reference, the window's two steps, its filter and its event loop's longest
# stall during a save all of 10,000 files (100 MiB), and save all of 10,000 files (1 GiB)
# and the photo export of 10,000 photos (1 GiB), each against `cp -r`, and opening a 1 GiB
# WAL-mode database with its -wal out of a plain and an encrypted backup against the sqlite3
# shell, and whole `salvora-cli messages`, `whatsapp` and `contacts` exports of generated
# databases of a million messages and 20,000 contacts against plain Python sqlite3 scripts (and
# the copying of Messages' attachments against `cp -r`). The backups (about 5 GB
# with the copies) are written below $TMPDIR (/tmp when unset) and removed afterwards, also
# when interrupted.
# Options are passed on to salvora-bench (--help lists them), e.g. --steps mbdb,cli.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-dependencies.sh
cmake --preset bench >/dev/null
cmake --build --preset bench -j"$(nproc)"

build=build/bench
arguments=(--cli "$build/src/cli/salvora-cli" --references bench/reference
    --open-database "$build/bench/salvora-bench-open-database")
if [[ -x $build/bench/salvora-window-bench ]]; then
    arguments+=(--window "$build/bench/salvora-window-bench")
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/salvora-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
TMPDIR=$work "$build/bench/salvora-bench" "${arguments[@]}" "$@"
