#!/usr/bin/env bash
# Renders the application icon's PNG sizes from its SVG (rsvg-convert, Debian
# librsvg2-bin: scripts/setup.sh icons). The PNGs are committed, so a build
# needs no renderer; run this after changing the SVG.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "$here/${size}x${size}"
  rsvg-convert -w "$size" -h "$size" "$here/org.quillon.Quillon.svg" -o "$here/${size}x${size}/org.quillon.Quillon.png"
done
