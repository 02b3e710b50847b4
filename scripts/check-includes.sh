#!/usr/bin/env bash
# Fails on an include that goes against the layers of docs/ARCHITECTURE.md: a file in src/X/
# may include "Y/..." only when Y is X itself or one of the layers X may include. The build
# alone can't tell, since every library sees all of src/ and a header-only piece needs no
# link. Checks the tree given (src/ by default); prints each wrong include as file:line.
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}

# What each layer may include beside itself, as the layer table of docs/ARCHITECTURE.md says.
# A new folder of src/ gets a line here, and its name in the lines of the layers above it.
declare -A allowed=(
    [foundation]=""
    [plist]="foundation"
    [sqlite]="foundation"
    [crypto]="sqlite plist foundation"
    [catalog]="crypto sqlite plist foundation"
    [discovery]="catalog plist foundation"
    [recovery]="catalog crypto sqlite plist foundation"
    [export]="recovery catalog crypto sqlite plist foundation"
    [sources]="export recovery catalog crypto sqlite plist foundation"
    [window]="sources export discovery recovery catalog crypto sqlite plist foundation"
    [cli]="sources export discovery recovery catalog crypto sqlite plist foundation"
    [app]="window"
)

wrong=0
include='^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"/]+)/'
while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    text=${rest#*:}
    layer=${file#"$src"/}
    layer=${layer%%/*}
    [[ $text =~ $include ]]
    target=${BASH_REMATCH[1]}
    if [[ ! -v allowed[$layer] ]]; then
        echo "$file:$line: src/$layer/ is not a layer of scripts/check-includes.sh"
        wrong=1
    elif [[ ! -v allowed[$target] ]]; then
        echo "$file:$line: includes $target/, which is not a layer"
        wrong=1
    elif [[ $target != "$layer" && " ${allowed[$layer]} " != *" $target "* ]]; then
        echo "$file:$line: $layer/ may not include $target/"
        wrong=1
    fi
done < <(grep -rnE --include='*.h' --include='*.cpp' "$include" "$src")
exit "$wrong"
