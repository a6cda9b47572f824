#!/usr/bin/env bash
# The keystoning tool on a synthetic facade, through its handles in the
# program: renders a facade of known proportions seen by a tilted camera
# (the focal length in its EXIF), lets keystoning.js choose each correction
# type and move the handles onto the facade, photographs the screen under
# Xvfb (English and Japanese), and measures the saved Rectangle result.
#
#   tools/keystoning-check/check.sh [build folder] [output folder]
#       FACADE="focal35 pitch yaw width height" (default "24 25 8 12 8")
#       ORIENTATION=3, 6 or 8: the picture is stored turned, with that EXIF
#       orientation, so that the program shows the same facade upright
#
# Needs python3, ImageMagick (convert, import), exiv2 and xvfb-run.
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD_DIR=${1:-build-test}
OUT_DIR=$(mkdir -p "${2:-$BUILD_DIR/screenshots/keystoning}" && cd "${2:-$BUILD_DIR/screenshots/keystoning}" && pwd)
PROGRAM=$(realpath "$BUILD_DIR/bin/Quillet")
SCRIPT=$(realpath tools/keystoning-check/keystoning.js)
TOOLS=$(realpath tools/keystoning-check)
export ASAN_OPTIONS=detect_leaks=0
read -r focal pitch yaw width height <<<"${FACADE:-24 25 8 12 8}"
photo="$OUT_DIR/facade.jpg"
corners=$(cd "$OUT_DIR" && python3 "$TOOLS/facade.py" "$focal" "$pitch" "$yaw" "$width" "$height" "$photo")
# NO_EXIF=1: the picture keeps no EXIF, so the field of view is guessed.
[ -z "${NO_EXIF:-}" ] || exiv2 rm "$photo"
points=$(echo "$corners" | tr ' ' '\n' | awk -F, '{printf "%s[%.6f,%.6f]", (NR>1?",":""), $1/3000, $2/2000}')
echo "facade: focal ${focal} mm, pitch ${pitch}, yaw ${yaw}, true aspect $(python3 -c "print(round($width/$height, 4))")"
echo "before: $(python3 "$TOOLS/measure.py" "$photo")"
case "${ORIENTATION:-1}" in
    1) ;;
    3|6|8)
        turn=$(case "$ORIENTATION" in 3) echo 180 ;; 6) echo -90 ;; 8) echo 90 ;; esac)
        convert "$photo" -rotate "$turn" -quality 95 "$photo"
        exiv2 -M "set Exif.Image.Orientation Short $ORIENTATION" "$photo" ;;
    *) echo "ORIENTATION must be 1, 3, 6 or 8" >&2; exit 2 ;;
esac

for lang in ${LANGS:-en ja}; do
    home=$(mktemp -d)
    work=$(mktemp -d)
    mkdir -p "$home/.config/Navik Labs/tarl1"
    number=1033
    [ "$lang" = ja ] && number=1041
    printf '[General]\nNavikAppLanguage=%s\nNavikAppFirstTime=false\n' "$number" \
        >"$home/.config/Navik Labs/tarl1/Data.plist"
    { printf 'var SHOT_DIR = "%s";\nvar SAVE_PATH = "%s";\nvar POINTS = [%s];\n' "$work" "$OUT_DIR/$lang-rectangle.jpg" "$points"
      cat "$SCRIPT"; } >"$work/keystoning.js"
    HOME=$home xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
        program=$1 photo=$2 script=$3 work=$4 out=$5 lang=$6
        : >"$work/stderr"
        "$program" --script="$script" "$photo" 2>"$work/stderr" &
        shown=$!
        while kill -0 "$shown" 2>/dev/null; do
            for name in $(sed -n "s/^\(js: \)\{0,1\}SHOT //p" "$work/stderr"); do
                if [ ! -e "$work/$name.done" ]; then
                    import -window root "$out/$lang-$name.png"
                    touch "$work/$name.done"
                fi
            done
            sleep 0.2
        done
    ' _ "$PROGRAM" "$photo" "$work/keystoning.js" "$work" "$OUT_DIR" "$lang"
    tail -1 "$work/keystoning"Report.txt 2>/dev/null || true
    [ -f "$OUT_DIR/$lang-rectangle.jpg" ] && echo "$lang rectangle: $(python3 "$TOOLS/measure.py" "$OUT_DIR/$lang-rectangle.jpg")"
    [ -n "${KEEP:-}" ] || rm -rf "$home" "$work"
done
echo "Wrote $OUT_DIR"
