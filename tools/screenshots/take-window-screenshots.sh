#!/usr/bin/env bash
# Screenshots of the main window under Xvfb, in English, German and Japanese:
# the empty window, then a photograph in the single view, the before/after
# pair and full screen.
#
#   tools/screenshots/take-window-screenshots.sh [build folder] [output folder] [photo]
#
# Needs xvfb-run and ImageMagick's import (scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/screenshots/screenshots.sh

BUILD_DIR=${1:-build-test}
OUT_DIR=$(mkdir -p "${2:-$BUILD_DIR/screenshots/window}" && cd "${2:-$BUILD_DIR/screenshots/window}" && pwd)
PHOTO=$(realpath "${3:-../shared/fixtures/photo24.jpg}")
PROGRAM=$(realpath "$BUILD_DIR/bin/Quillet")

for lang in ${LANGS:-en de ja}; do
    shoot_program "$lang" tools/screenshots/window.js "$OUT_DIR" "$lang-" "var PHOTO = \"$PHOTO\";" "$PROGRAM"
done
echo "Wrote $OUT_DIR"
