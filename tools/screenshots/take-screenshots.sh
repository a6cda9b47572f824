#!/usr/bin/env bash
# Takes screenshots under Xvfb, for judging the look: the style gallery (the
# program's style sheets, window style and icons on a real window), the about
# box, the question asked before a modified picture is dropped, the update
# notice and the view's controls (halo, start hint, panel frame with slider rows).
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

cmake --build "$BUILD_DIR" --target quillet-gallery quillet-dialogs quillet-viewcontrols >/dev/null

export ASAN_OPTIONS=detect_leaks=0

# shoot SCREEN SECONDS PNG PROGRAM [ARGS...]: starts the program on a fresh
# X server of that screen size, photographs the screen after that many
# seconds and stops the program.
shoot() {
    local screen=$1 seconds=$2 png=$3
    shift 3
    xvfb-run -a -s "-screen 0 $screen" bash -c '
        seconds=$1 png=$2
        shift 2
        "$@" &
        shown=$!
        sleep "$seconds"
        import -window root "$png"
        kill "$shown"
    ' _ "$seconds" "$png" "$@"
}

shoot 1440x940x24 4 "$OUT_DIR/gallery.png" "$BUILD_DIR/tools/quillet-gallery" "$PHOTO"
for dialog in about question update; do
    shoot 800x600x24 3 "$OUT_DIR/$dialog.png" "$BUILD_DIR/tools/quillet-dialogs" "$dialog"
done
shoot 1024x700x24 4 "$OUT_DIR/viewcontrols.png" "$BUILD_DIR/tools/quillet-viewcontrols"
echo "Wrote $OUT_DIR/gallery.png, about.png, question.png, update.png and viewcontrols.png"
