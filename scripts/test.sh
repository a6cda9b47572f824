#!/usr/bin/env bash
# Installs what is missing, builds the test build (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test through CTest, then again
# in a release build.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

BUILD_DIR=${BUILD_DIR:-build-test}
JOBS=${JOBS:-$(nproc)}
# Tests side by side: most of a test's time is the program waiting (for a
# render, a timer, a child process), so twice as many as there are cores, but
# no more than one for each 2 GB of free memory (a sanitized program with a
# 24 MP picture, and a build beside the tests).
if [ -z "${TEST_JOBS:-}" ]; then
    free_gb=$(awk '/^MemAvailable:/ { printf "%d", $2 / 1048576 }' /proc/meminfo)
    TEST_JOBS=$((JOBS * 2))
    if [ "$((free_gb / 2))" -lt "$TEST_JOBS" ]; then
        TEST_JOBS=$((free_gb / 2 > 2 ? free_gb / 2 : 2))
    fi
fi
echo "== $JOBS build jobs, $TEST_JOBS tests side by side"

# The time of each step, printed as it ends and again at the end of the run:
# the elapsed time and the processor time of the step's processes (user and
# system), which the machine's other load changes less.
step_times=()
times_file=$(mktemp)
cpu_seconds() {  # sets cpu: user + system seconds of the finished child processes
    times > "$times_file"  # in this shell: a subshell would count only its own
    cpu=$(tail -n 1 "$times_file" | awk '{ for (i = 1; i <= 2; i++) { split($i, p, /[ms]/); t += p[1] * 60 + p[2] } printf "%d", t }')
}
timed() {
    local name=$1 start=$SECONDS cpu cpu_start
    shift
    cpu_seconds
    cpu_start=$cpu
    "$@"
    cpu_seconds
    local line="$name: $((SECONDS - start)) s, processor $((cpu - cpu_start)) s"
    step_times+=("$line")
    echo "== $line"
}
# A build in the background, at low priority, while the tests of the pass
# before it run: those mostly wait for the program they drive and leave the
# processors idle. Its output goes to a file, shown when it ends.
background_pid=""
background_name=""
background_log=$(mktemp)
kill_tree() {
    local child
    for child in $(pgrep -P "$1" || true); do
        kill_tree "$child"
    done
    kill "$1" 2>/dev/null || true
}
start_background() {  # name, command...
    background_name=$1
    background_start=$SECONDS
    shift
    (
        renice -n 10 -p "$BASHPID" > /dev/null
        "$@"
    ) > "$background_log" 2>&1 &
    background_pid=$!
}
finish_background() {
    [ -n "$background_pid" ] || return 0
    local status=0
    wait "$background_pid" || status=$?
    background_pid=""
    local line="$background_name: $((SECONDS - background_start)) s, in the background from $background_start s"
    step_times+=("$line")
    if [ "$status" != 0 ]; then
        tail -n 100 "$background_log"
        echo "== $background_name failed"
        exit "$status"
    fi
    tail -n 3 "$background_log"
    echo "== $line"
}
trap '[ -z "$background_pid" ] || kill_tree "$background_pid"; rm -f "$times_file" "$background_log"
      printf "== %s\n" "${step_times[@]}" "total: $SECONDS s"' EXIT

cmake -S . -B "$BUILD_DIR" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLET_SANITIZE="address;undefined" \
    -DQUILLET_UNITY=ON
timed "sanitizer build" cmake --build "$BUILD_DIR" -j "$JOBS"

# The whole suite again in a release build: optimised code runs with other
# timings than the sanitized one, and faults that only show there (a dialog
# answered before it had settled) stay hidden otherwise. This build holds only
# the tests and the programs they start (the target quillet-tests): the
# sanitizer build above has compiled everything else, the benchmarks and the
# screenshot tools. QUILLET_SKIP_RELEASE=1 leaves it out.
RELEASE_BUILD_DIR=${RELEASE_BUILD_DIR:-build-release-test}
release_build() {
    cmake -S . -B "$RELEASE_BUILD_DIR" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release \
        -DQUILLET_BENCH=OFF \
        -DQUILLET_UNITY=ON
    cmake --build "$RELEASE_BUILD_DIR" -j "$JOBS" --target quillet-tests
}

# The engine's tests again under ThreadSanitizer, in a build of their own:
# renders run on the thread pool while the main thread changes what they
# read. Qt is not built with ThreadSanitizer, so accesses inside its
# libraries are ignored; cmake/tsan.supp says what else may be suppressed.
# QUILLET_SKIP_TSAN=1 leaves it out.
TSAN_BUILD_DIR=${TSAN_BUILD_DIR:-build-tsan}
# Set for the build too: build steps run tools built with the sanitizer.
export TSAN_OPTIONS="ignore_noninstrumented_modules=1:halt_on_error=1:suppressions=$PWD/cmake/tsan.supp"

# A short fuzz run of the imaging framework's decoders and text reader and of
# the readers of the engine state, the crash report, the SOAP reply and the
# exchange record, in a clang build of its own. QUILLET_SKIP_FUZZ=1 leaves it
# out.
later_builds() {
    if [ "${QUILLET_SKIP_TSAN:-0}" != 1 ]; then
        cmake -S . -B "$TSAN_BUILD_DIR" -G Ninja \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DQUILLET_SANITIZE=thread \
            -DQUILLET_UNITY=ON
        local engine_tests
        mapfile -t engine_tests < <(cd "$TSAN_BUILD_DIR" && ctest -L engine -N | sed -n 's/^ *Test *#[0-9]*: //p')
        cmake --build "$TSAN_BUILD_DIR" -j "$JOBS" --target "${engine_tests[@]}"
    fi
    if [ "${QUILLET_SKIP_FUZZ:-0}" != 1 ]; then
        ./scripts/fuzz.sh build
    fi
}

if [ "${QUILLET_SKIP_RELEASE:-0}" != 1 ]; then
    start_background "release build" release_build
fi

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$PWD/cmake/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

timed "sanitizer tests" ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$TEST_JOBS" "$@"

if [ "${QUILLET_SKIP_RELEASE:-0}" != 1 ]; then
    timed "rest of the release build" finish_background
    start_background "ThreadSanitizer and fuzzing builds" later_builds
    timed "release tests" ctest --test-dir "$RELEASE_BUILD_DIR" --output-on-failure -j "$TEST_JOBS" "$@"
    timed "rest of the ThreadSanitizer and fuzzing builds" finish_background
else
    timed "ThreadSanitizer and fuzzing builds" later_builds
fi

if [ "${QUILLET_SKIP_TSAN:-0}" != 1 ]; then
    timed "ThreadSanitizer tests" ctest --test-dir "$TSAN_BUILD_DIR" --output-on-failure -j "$TEST_JOBS" -L engine
fi
if [ "${QUILLET_SKIP_FUZZ:-0}" != 1 ]; then
    timed "fuzzing" ./scripts/fuzz.sh run
fi
