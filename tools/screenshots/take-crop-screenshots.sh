#!/usr/bin/env bash
# Screenshots of the crop items (handles, outline, grid, mask, size label) and
# the crop tool pane under Xvfb, at 50 % and 400 %, in English and Japanese.
#
#   tools/screenshots/take-crop-screenshots.sh [build folder] [output folder] [photo]
set -euo pipefail
cd "$(dirname "$0")/../.."

BUILD_DIR=${1:-build-test}
OUT_DIR=$(mkdir -p "${2:-$BUILD_DIR/screenshots/crop}" && cd "${2:-$BUILD_DIR/screenshots/crop}" && pwd)
PHOTO=$(realpath "${3:-../shared/fixtures/photo24.jpg}")
PROGRAM=$(realpath "$BUILD_DIR/tools/quillet-cropitems")
export ASAN_OPTIONS=detect_leaks=0

for lang in ${LANGS:-en ja}; do
    home=$(mktemp -d)
    mkdir -p "$home/.config/Navik Labs/tarl1"
    number=1033
    [ "$lang" = ja ] && number=1041
    printf '[General]\nNavikAppLanguage=%s\nNavikAppFirstTime=false\n' "$number" \
        >"$home/.config/Navik Labs/tarl1/Data.plist"
    for zoom in 0.5 4; do
        HOME=$home xvfb-run -a -s "-screen 0 1280x800x24" \
            "$PROGRAM" "$PHOTO" "$zoom" "$OUT_DIR/$lang-zoom$zoom.png"
    done
    rm -rf "$home"
done
echo "Wrote $(ls "$OUT_DIR" | wc -l) screenshots to $OUT_DIR"
