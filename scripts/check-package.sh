#!/usr/bin/env bash
# Makes the .deb of a build folder (default build/default), checks what it holds and that its
# dependencies were computed, unpacks it into a temporary folder and runs the packaged
# salvora-cli from there.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls -t "$build"/salvora_*.deb | head -n1)
contents=$(dpkg-deb -c "$package")
for expected in ./usr/bin/salvora ./usr/bin/salvora-cli \
    ./usr/share/applications/salvora.desktop \
    ./usr/share/icons/hicolor/scalable/apps/salvora.svg \
    ./usr/share/icons/hicolor/48x48/apps/salvora.png; do
    grep -q " $expected\$" <<<"$contents" || { echo "missing from $package: $expected"; exit 1; }
done
depends=$(dpkg-deb -f "$package" Depends)
for library in libqt6widgets6 libplist libsqlite3 libssl; do
    grep -q "$library" <<<"$depends" || { echo "$package does not depend on $library"; exit 1; }
done
unpacked=$(mktemp -d "${TMPDIR:-/tmp}/salvora-package.XXXXXX")
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$package" "$unpacked"
HOME="$unpacked" "$unpacked/usr/bin/salvora-cli" devices >/dev/null
echo "$package: contents, dependencies and the packaged salvora-cli are fine"
