#!/usr/bin/env bash
# The include check fails on a copy of the tree with one include planted against the layers,
# and names the file and line; a line an include could hide behind is planted each way.
set -euo pipefail
check=$1
src=$2
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT

plant() {  # file (below src/), include line, what the check must say
    rm -rf "$copy/src"
    cp -R "$src" "$copy/src"
    printf '%s\n' "$2" >>"$copy/src/$1"
    local line
    line=$(wc -l <"$copy/src/$1")
    if said=$("$check" "$copy/src"); then
        echo "passed with \`$2\` in $1"
        exit 1
    fi
    if [[ $said != "$copy/src/$1:$line: $3" ]]; then
        echo "for \`$2\` in $1 said: $said"
        exit 1
    fi
}

plant foundation/Error.h '#include "catalog/Catalog.h"' 'foundation/ may not include catalog/'
plant crypto/Keybag.cpp '  #  include "window/QtText.h"' 'crypto/ may not include window/'
plant discovery/Discovery.cpp '#include "recovery/Recovery.h"' 'discovery/ may not include recovery/'
plant app/MainWindow.cpp '#include "support/BackupWriter.h"' 'includes support/, which is not a layer'
echo "every planted include found"
