#!/usr/bin/env bash
# Writes docs/screenshot.png, the window on the demo's sample home with a device, an application
# and a file chosen, and docs/summary.png, a device's summary, drawn under Xvfb where it is
# installed (offscreen otherwise), and docs/export.png, the window at the end of a Messages
# export (Xvfb only); then docs/messages.png and docs/whatsapp.png, a conversation of the
# demo's exports as headless Chromium shows it.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target salvora-demo-home salvora-window-screenshot \
    salvora-cli
home=$(mktemp -d "${TMPDIR:-/tmp}/salvora-screenshot.XXXXXX")
trap 'rm -rf "$home"' EXIT
build/default/demo/salvora-demo-home "$home" >/dev/null
shoot() {
    local command=(build/default/tests/window/salvora-window-screenshot "$home" "$@")
    if command -v xvfb-run >/dev/null; then
        QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" "${command[@]}"
    else
        QT_QPA_PLATFORM=offscreen "${command[@]}"
    fi
}
shoot docs/screenshot.png
shoot docs/summary.png summary
# The question that ends an export is a window of its own, taken off the X server's screen.
if command -v xvfb-run >/dev/null; then shoot docs/export.png export; fi

hana="$home/AppData/Roaming/Apple Computer/MobileSync/Backup/7a3e02"
page() {
    local kind=$1 conversation=$2 png=$3
    build/default/src/cli/salvora-cli "$kind" "$hana" "$home/$kind" >/dev/null
    chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1000,640 \
        --screenshot="$png" "file://$home/$kind/$conversation/page-1.html" 2>/dev/null
}
page messages "Ada King Lovelace" docs/messages.png
page whatsapp Family docs/whatsapp.png
