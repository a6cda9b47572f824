#!/usr/bin/env bash
# Screenshots of levelling under Xvfb, in English and Japanese: the
# horizontal level tool on a tilted picture, the angle typed into the panel,
# and the levelled picture beside the original.
#
#   tools/screenshots/take-horizon-screenshots.sh [build folder] [output folder] [photo]
#
# Needs xvfb-run and ImageMagick's convert and import (scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/screenshots/screenshots.sh

BUILD_DIR=${1:-build-test}
OUT_DIR=$(mkdir -p "${2:-$BUILD_DIR/screenshots/horizon}" && cd "${2:-$BUILD_DIR/screenshots/horizon}" && pwd)
PHOTO=$(realpath "${3:-../shared/fixtures/photo24.jpg}")
PROGRAM=$(realpath "$BUILD_DIR/bin/Quillet")
TILTED=$(mktemp -d)/tilted.jpg
# Turned clockwise (the right end of the horizon drops) and cut square to the frame.
convert "$PHOTO" -resize 3000x2000 -rotate 4 -gravity center -crop 2600x1700+0+0 +repage "$TILTED"

for lang in ${LANGS:-en ja}; do
    shoot_program "$lang" tools/screenshots/horizon.js "$OUT_DIR" "$lang-" "var ANGLE = -40;" "$PROGRAM" "$TILTED"
done
echo "Wrote $OUT_DIR"
