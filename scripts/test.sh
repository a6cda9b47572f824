#!/usr/bin/env bash
# Installs what is missing, builds the test build (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

BUILD_DIR=${BUILD_DIR:-build-test}
JOBS=${JOBS:-$(nproc)}

cmake -S . -B "$BUILD_DIR" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLET_SANITIZE="address;undefined"
cmake --build "$BUILD_DIR" -j "$JOBS"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$PWD/cmake/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

(cd "$BUILD_DIR" && ctest --output-on-failure -j "$JOBS" --timeout 900 "$@")

# A short fuzz run of the imaging framework's decoders and text reader, in a
# clang build of its own. QUILLET_SKIP_FUZZ=1 leaves it out.
if [ "${QUILLET_SKIP_FUZZ:-0}" != 1 ]; then
    ./scripts/fuzz.sh
fi
