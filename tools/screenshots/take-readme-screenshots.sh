#!/usr/bin/env bash
# The screenshots of the README under Xvfb, in English at 1280 x 800: a
# photograph being corrected (the keystoning handles on the original, the
# result beside it), the corrected picture beside the original, and the crop.
# Written to docs/screenshots/ as small PNGs (256 colours).
#
#   tools/screenshots/take-readme-screenshots.sh [build folder] [output folder] [photo]
#
# Needs xvfb-run and ImageMagick's import and convert (scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/screenshots/screenshots.sh

BUILD_DIR=${1:-build-test}
OUT_DIR=$(mkdir -p "${2:-docs/screenshots}" && cd "${2:-docs/screenshots}" && pwd)
PHOTO=$(realpath "${3:-../shared/fixtures/photo24.jpg}")
PROGRAM=$(realpath "$BUILD_DIR/bin/Quillet")
RAW=$(mktemp -d)

# The frame of a building seen from below: the top corners pulled in.
shoot_program en tools/screenshots/readme.js "$RAW" "" \
    'var HANDLES = [["LeftTop", 0.12, 0.08], ["RightTop", 0.88, 0.08], ["RightBottom", 0.97, 0.95], ["LeftBottom", 0.03, 0.95]];' \
    "$PROGRAM" "$PHOTO"
# Without a window manager the window keeps its own size on the screen: a
# black border is added and trimmed away with the screen around the window.
for shot in "$RAW"/*.png; do
    convert "$shot" -bordercolor black -border 1 -trim +repage -dither FloydSteinberg -colors 256 \
        -define png:compression-level=9 "PNG8:$OUT_DIR/$(basename "$shot")"
done
rm -rf "$RAW"
ls -l "$OUT_DIR"
