#!/usr/bin/env bash
# Builds and runs the benchmark of encrypted backups: decrypting a stored file against
# `openssl enc -d -aes-256-cbc` on the same bytes, and deriving the keybag's key against
# OpenSSL's PBKDF2 with the same counts. Arguments go to the benchmark (--help lists them).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/bench-crypto -DCMAKE_BUILD_TYPE=Release -DSALVORA_BUILD_BENCH=ON \
    -DSALVORA_BUILD_TESTS=OFF -DSALVORA_WITH_WINDOW=OFF >/dev/null
cmake --build build/bench-crypto -j"$(nproc)" --target salvora-crypto-bench
exec build/bench-crypto/bench/crypto/salvora-crypto-bench "$@"
