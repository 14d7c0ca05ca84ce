#!/usr/bin/env bash
# Renders the program's icon (desktop/org.example.verarov.svg) to the PNGs
# of the hicolor icon theme, desktop/icons/SIZExSIZE/org.example.verarov.png,
# and records the SVG's SHA-256 in desktop/icons/source.sha256 so the tests
# can tell PNGs older than the drawing.  The PNGs are committed: building
# needs no renderer.  Run it after every change of the SVG.
# Needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/.."
command -v rsvg-convert >/dev/null 2>&1 \
    || { echo "rsvg-convert is needed (Debian: apt-get install librsvg2-bin)" >&2; exit 1; }
id=org.example.verarov
svg=desktop/$id.svg
out=${1:-desktop/icons}
for size in 16 22 24 32 48 64 128 256 512; do
    mkdir -p "$out/${size}x${size}"
    rsvg-convert --width "$size" --height "$size" --output "$out/${size}x${size}/$id.png" "$svg"
done
(cd desktop && sha256sum "$id.svg") > "$out/source.sha256"
echo "rendered $svg into $out/"
