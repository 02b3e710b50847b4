#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: in the normal build and
# under AddressSanitizer and UndefinedBehaviorSanitizer; runs the saving tests once more in a
# build with only the portable file calls; makes the .deb package of the normal build and
# checks it (scripts/check-package.sh); then runs every fuzz target, for FUZZ_SECONDS each
# where that is set, else sharing a fixed time (scripts/fuzz.sh). Exits non-zero on any failure
# or fuzz finding.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-dependencies.sh
jobs=$(nproc)
# Each stage's time goes beside its heading, so a slow stage is plain in the CI log.
stage() { echo "=== $1 (at ${SECONDS} s)"; }
for preset in default sanitize; do
    stage "$preset build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j"$jobs"
    stage "$preset tests"
    ctest --preset "$preset" -j"$jobs"
done
stage "portable build: the recovery and reliability tests"
cmake --preset portable >/dev/null
cmake --build --preset portable -j"$jobs"
ctest --preset portable -j"$jobs"
stage package
scripts/check-package.sh build/default
stage fuzz
scripts/fuzz.sh "${FUZZ_SECONDS:-budget}"
echo "=== every test passed in ${SECONDS} s"
