#!/usr/bin/env bash
# Builds the libFuzzer targets of the imaging framework, of the engine
# state's reader, of the crash report reader, of the SOAP reply reader and of
# the exchange record's readers in a separate clang build and runs each for a
# short, bounded time on its seed corpus. A crash, a hang or an allocation
# beyond the limits stops the run with the input that caused it in the build
# folder. "fuzz.sh build" only builds, "fuzz.sh run" only runs what is built.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

BUILD_DIR=${FUZZ_BUILD_DIR:-build-fuzz}
SECONDS_EACH=${FUZZ_SECONDS:-20}
JOBS=${JOBS:-$(nproc)}

STEP=${1:-all}

if [ "$STEP" != run ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DQUILLET_FUZZ=ON
    cmake --build "$BUILD_DIR" -j "$JOBS"
fi
[ "$STEP" != build ] || exit 0

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$BUILD_DIR"
# Each target with the folder of its seeds.
for entry in jpeg:tests/navik/fuzz/seeds/jpeg tiff:tests/navik/fuzz/seeds/tiff \
    luaserializer:tests/navik/fuzz/seeds/lua enginestate:tests/engine/fuzz/seeds \
    crashreport:tests/crash/fuzz/seeds soapreply:tests/online/fuzz/seeds \
    hostexchange:tests/utils/fuzz/seeds; do
    target=${entry%%:*}
    seeds="$ROOT/${entry#*:}"
    corpus="corpus/$target"
    mkdir -p "$corpus" artifacts
    asan_options=$ASAN_OPTIONS
    if [ "$target" = hostexchange ]; then
        # A list stored in a record claims a count, and Qt reserves room for
        # that many values before it reads one. When the allocation fails, as
        # one of many gigabytes does, Qt goes on without it and the reader
        # refuses the list once the bytes run out. Under the sanitizer a
        # granted reservation of gigabytes takes seconds, so here allocations
        # above 256 MiB fail, the way the product meets an impossible one.
        asan_options="$ASAN_OPTIONS:allocator_may_return_null=1:max_allocation_size_mb=256"
    fi
    echo "Fuzzing $target for $SECONDS_EACH s"
    if ! ASAN_OPTIONS=$asan_options "./bin/fuzz_$target" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=3072 \
        -max_len=65536 -print_final_stats=1 -artifact_prefix="artifacts/$target-" \
        "$corpus" "$seeds" > "$target.log" 2>&1; then
        tail -n 80 "$target.log"
        echo "fuzz_$target failed; the input is in $BUILD_DIR/artifacts"
        exit 1
    fi
    tail -n 6 "$target.log"
done
echo "Fuzzing done: every target ran $SECONDS_EACH s without a failure."
