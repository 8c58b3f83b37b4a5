#!/usr/bin/env bash
# Renders the program icon from its one source drawing, resources/icons/lumo.svg:
#   resources/icons/lumo-<N>.png   the bitmaps (hicolor theme sizes and the icon's own sizes)
#   resources/lumo.ico             ten images: 16, 24, 32, 48, 100 px, each in 8 and 32 bits per pixel
#   resources/icons/windows/*.bin  the same images as raw Windows icon resources, for lumo.rc
# The outputs are committed, so a build needs no image tools; run this again after editing the SVG.
# Usage: scripts/make-icon.sh [OUTPUT_ROOT]   (default: the repository's resources/ folder)
# Needs rsvg-convert (librsvg2-bin) and python3.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$root/resources}"
svg="$root/resources/icons/lumo.svg"

png_sizes=(16 24 32 48 64 100 128 256)
ico_sizes=(16 24 32 48 100)

mkdir -p "$out/icons"
for size in "${png_sizes[@]}"; do
  rsvg-convert --width "$size" --height "$size" --format png "$svg" --output "$out/icons/lumo-$size.png"
done

ico_inputs=()
for size in "${ico_sizes[@]}"; do
  ico_inputs+=("$out/icons/lumo-$size.png")
done
rm -rf "$out/icons/windows"
python3 "$root/scripts/write-ico.py" --resource-dir "$out/icons/windows" "$out/lumo.ico" "${ico_inputs[@]}"
