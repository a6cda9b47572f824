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

BUILD_DIR=${1:-build-test}
OUT_DIR=$(mkdir -p "${2:-$BUILD_DIR/screenshots/window}" && cd "${2:-$BUILD_DIR/screenshots/window}" && pwd)
PHOTO=$(realpath "${3:-../shared/fixtures/photo24.jpg}")
SCRIPT=$(realpath tools/screenshots/window.js)
PROGRAM=$(realpath "$BUILD_DIR/bin/Quillet")
export ASAN_OPTIONS=detect_leaks=0

for lang in ${LANGS:-en de ja}; do
    home=$(mktemp -d)
    work=$(mktemp -d)
    mkdir -p "$home/.config/Navik Labs/tarl1"
    number=1033
    [ "$lang" = de ] && number=1031
    [ "$lang" = ja ] && number=1041
    printf '[General]\nNavikAppLanguage=%s\nNavikAppFirstTime=false\n' "$number" \
        >"$home/.config/Navik Labs/tarl1/Data.plist"
    { printf 'var SHOT_DIR = "%s";\nvar PHOTO = "%s";\n' "$work" "$PHOTO"; cat "$SCRIPT"; } >"$work/window.js"
    HOME=$home xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
        program=$1 photo=$2 script=$3 work=$4 out=$5 lang=$6
        "$program" --script="$script" 2>"$work/stderr" &
        shown=$!
        taken=0
        while kill -0 "$shown" 2>/dev/null; do
            for name in $(sed -n "s/^\(js: \)\{0,1\}SHOT //p" "$work/stderr"); do
                if [ ! -e "$work/$name.done" ]; then
                    import -window root "$out/$lang-$name.png"
                    touch "$work/$name.done"
                    taken=$((taken + 1))
                fi
            done
            sleep 0.2
        done
        echo "$lang: $taken screenshots"
    ' _ "$PROGRAM" "$PHOTO" "$work/window.js" "$work" "$OUT_DIR" "$lang"
    [ -n "${KEEP:-}" ] || rm -rf "$home" "$work"
done
echo "Wrote $OUT_DIR"
