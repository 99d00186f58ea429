#!/usr/bin/env bash
# Renders the program icon's PNG sizes from its SVG (needs rsvg-convert from librsvg2-bin). The PNGs
# are committed, so building and installing never needs this; run it after changing the SVG.
set -euo pipefail

icons="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/data/icons/hicolor"
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "$icons/${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" "$icons/scalable/apps/vornreader.svg" -o "$icons/${size}x${size}/apps/vornreader.png"
done
