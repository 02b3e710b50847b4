#!/usr/bin/env bash
# Writes sample backups of every layout into a temporary home folder and starts the desktop
# program with HOME pointed there, so the window has devices to show. The folder is removed
# when the program ends.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-dependencies.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target salvora salvora-demo-home
home=$(mktemp -d "${TMPDIR:-/tmp}/salvora-demo.XXXXXX")
trap 'rm -rf "$home"' EXIT
trap 'exit 1' INT TERM
build/default/demo/salvora-demo-home "$home"
echo "Sample home: $home"
HOME="$home" build/default/src/app/salvora "$@"
