#!/usr/bin/env bash
# Screenshots of the image views under Xvfb, in English and Japanese: the
# single view and the before/after pair, at fit and at 100 %, grid on and off.
#
#   tools/screenshots/take-view-screenshots.sh [build folder] [output folder] [photo]
#
# Needs xvfb-run and ImageMagick's import (scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/screenshots/screenshots.sh

BUILD_DIR=${1:-build-test}
OUT_DIR=$(mkdir -p "${2:-$BUILD_DIR/screenshots/views}" && cd "${2:-$BUILD_DIR/screenshots/views}" && pwd)
PHOTO=$(realpath "${3:-../shared/fixtures/photo24.jpg}")
PROGRAM=$(realpath "$BUILD_DIR/bin/Quillet")

for lang in ${LANGS:-en ja}; do
    # The Japanese run shows the loupe at 200 %, the English one at 100 %.
    loupe=0
    [ "$lang" = ja ] && loupe=1
    EXTRA_SETTINGS="app_loupeZoom=$loupe"$'\n' \
        shoot_program "$lang" tools/screenshots/views.js "$OUT_DIR" "$lang-" "" "$PROGRAM" "$PHOTO"
done
echo "Wrote $OUT_DIR"
