#!/usr/bin/env bash
# Renders the application icon's PNG sizes from its SVG into the tree
# (data/icons/hicolor/NxN/apps/). Run it after changing the SVG and commit
# the PNGs with it; builds and packages use the committed files.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
id=de.zentrafold.KelvaroPhotoWizard
icons="$top/data/icons/hicolor"
svg="$icons/scalable/apps/$id.svg"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is missing (package librsvg2-bin)." >&2; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "$icons/${size}x${size}/apps"
  rsvg-convert --width "$size" --height "$size" --format png \
    --output "$icons/${size}x${size}/apps/$id.png" "$svg"
done
echo "Rendered $(ls "$icons"/*x*/apps/$id.png | wc -l) PNG sizes from $svg"
