#!/usr/bin/env bash
# Renders the icon's PNG renditions and the Windows .ico (48, 24 and 16 pixels, 32-bit colour)
# from icons/salvora.svg with ImageMagick. Run it after changing the SVG; the results are
# checked in, so building needs no ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/icons"
for size in 48 24 16; do
    # Rendered at eight times the size, then scaled down, for smooth edges.
    convert -background none -density $((size * 16)) salvora.svg -resize "${size}x${size}" \
        -strip PNG32:"salvora-$size.png"
done
convert salvora-48.png salvora-24.png salvora-16.png salvora.ico
