# Shared by the take-*-screenshots.sh scripts that drive the program with a
# test script (source it; it sets nothing else):
#
#   shoot_program LANG SCRIPT OUT_DIR PREFIX PRELUDE [PROGRAM ARGS...]
#
# runs bin/Quillet (BUILD_DIR) in language LANG (en, fr, de, ja) on a fresh
# home and X server of SCREEN (default 1280x800x24) with SCRIPT, after the
# JavaScript PRELUDE (SHOT_DIR is set for it) and shots.js. Each "SHOT <name>"
# the script prints becomes OUT_DIR/PREFIX<name>.png. KEEP=1 keeps the
# temporary folders. Needs xvfb-run and ImageMagick's import.

SCREENSHOT_HELPERS=$(realpath "$(dirname "${BASH_SOURCE[0]}")/shots.js")

language_number() {
    case $1 in
    fr) echo 1036 ;;
    de) echo 1031 ;;
    ja) echo 1041 ;;
    *) echo 1033 ;;
    esac
}

shoot_program() {
    local lang=$1 script=$2 out=$3 prefix=$4 prelude=$5
    shift 5
    local home work
    home=$(mktemp -d)
    work=$(mktemp -d)
    mkdir -p "$home/.config/Navik Labs/tarl1"
    printf '[General]\nNavikAppLanguage=%s\nNavikAppFirstTime=false\n%s' "$(language_number "$lang")" \
        "${EXTRA_SETTINGS:-}" >"$home/.config/Navik Labs/tarl1/Data.plist"
    { printf 'var SHOT_DIR = "%s";\n%s\n' "$work" "$prelude"; cat "$SCREENSHOT_HELPERS" "$script"; } >"$work/run.js"
    HOME=$home ASAN_OPTIONS=detect_leaks=0 QUILLET_STATISTICS_SERVICE=http://127.0.0.1:9/ \
        QUILLET_UPDATE_SERVICE=http://127.0.0.1:9/ \
        xvfb-run -a -s "-screen 0 ${SCREEN:-1280x800x24}" bash -c '
        work=$1 out=$2 prefix=$3 lang=$4
        shift 4
        "$@" --script="$work/run.js" 2>"$work/stderr" &
        shown=$!
        taken=0
        while kill -0 "$shown" 2>/dev/null; do
            for name in $(sed -n "s/^\(js: \)\{0,1\}SHOT //p" "$work/stderr"); do
                if [ ! -e "$work/$name.done" ]; then
                    import -window root "$out/$prefix$name.png"
                    touch "$work/$name.done"
                    taken=$((taken + 1))
                fi
            done
            sleep 0.2
        done
        echo "$lang: $taken screenshots"
    ' _ "$work" "$out" "$prefix" "$lang" "$@"
    [ -n "${KEEP:-}" ] || rm -rf "$home" "$work"
}
