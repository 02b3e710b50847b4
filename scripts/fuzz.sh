#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) and runs
# each for SECONDS from the seeds the fixture writer makes, the committed reproducers and what
# earlier runs found. Without SECONDS (or with "budget") the targets share a fixed time of
# FUZZ_BUDGET seconds (default 270), so the test command takes as long however many targets
# there are. Exits non-zero when any target finds a crash, a leak, a hang or a broken promise;
# the input is left in build/fuzz/findings/<target>/.
#
#   scripts/fuzz.sh [SECONDS|budget] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-budget}
shift || true

scripts/install-dependencies.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"

build=build/fuzz
targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
    for program in "$build"/fuzz/fuzz_*; do targets+=("${program##*/fuzz_}"); done
fi
if [[ $seconds == budget ]]; then
    # The targets run nproc at a time; each gets its share of the budget, 20 s at the least.
    seconds=$(( ${FUZZ_BUDGET:-270} * $(nproc) / ${#targets[@]} ))
    (( seconds >= 20 )) || seconds=20
fi
rm -rf "$build/seeds"
# libx265, which encodes the HEIC seeds, keeps a buffer to the end; the leak is not ours.
LSAN_OPTIONS="suppressions=$PWD/tests/lsan-suppressions.txt" \
    "$build/fuzz/salvora-fuzz-seeds" "$build/seeds"

# The dictionary of the tokens a target's inputs are made of (fuzz/dictionaries).
dictionary_of() {
    case $1 in
        mdbackup | mdinfo | manifest_plist | info_plist | archived_file_info) echo plist ;;
        manifest_database | unindexed_database) echo manifest_database ;;
        *) echo "$1" ;;
    esac
}

# One target: its corpus grows across runs; the log is kept beside the findings.
run_target() {
    local target=$1 seconds=$2 build=$3
    local corpus="$build/corpus/$target" findings="$build/findings/$target"
    rm -rf "$findings"
    mkdir -p "$corpus" "$findings"
    local dictionary
    dictionary="fuzz/dictionaries/$(dictionary_of "$target").dict"
    if "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$findings/" -print_final_stats=1 -dict="$dictionary" \
        "$corpus" "$build/seeds/$target" "fuzz/reproducers/$target" \
        >"$findings/log.txt" 2>&1; then
        echo "$target: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' \
            "$findings/log.txt" | grep -o '[0-9]*$') runs, no finding"
    else
        echo "$target: FINDING, see $findings/log.txt"
        grep -m3 -E 'ERROR|Broken promise|SUMMARY' "$findings/log.txt" || true
        return 1
    fi
}
export -f dictionary_of run_target

echo "Fuzzing ${#targets[@]} targets for ${seconds}s each, $(nproc) at a time"
printf '%s\n' "${targets[@]}" |
    xargs -P "$(nproc)" -I{} bash -c 'run_target "$@"' _ {} "$seconds" "$build"
