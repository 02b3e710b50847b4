#!/usr/bin/env bash
# Installs what is missing, builds Salvora and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-dependencies.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)"
exec build/default/src/app/salvora "$@"
