#!/usr/bin/env bash
# Takes a screenshot of the style gallery (the program's style sheets, window
# style and icons on a real window) under Xvfb, for judging the look.
#
#   tools/screenshots/take-screenshots.sh [build folder] [output folder] [photo]
#
# Needs xvfb-run and ImageMagick's import (scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."

BUILD_DIR=${1:-build-test}
OUT_DIR=${2:-$BUILD_DIR/screenshots}
PHOTO=${3:-../shared/fixtures/photo24.jpg}
mkdir -p "$OUT_DIR"

cmake --build "$BUILD_DIR" --target quillet-gallery >/dev/null

export ASAN_OPTIONS=detect_leaks=0
xvfb-run -a -s "-screen 0 1440x940x24" bash -c '
    "$1" "$2" &
    gallery=$!
    sleep 4
    import -window root "$3/gallery.png"
    kill "$gallery"
' _ "$BUILD_DIR/tools/quillet-gallery" "$PHOTO" "$OUT_DIR"
echo "Wrote $OUT_DIR/gallery.png"
