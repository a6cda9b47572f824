#!/usr/bin/env bash
# Installs what the program needs, builds the release build of the program
# alone (no tests, tools or benchmarks: scripts/test.sh builds those) and
# starts it. Arguments are passed on to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh --program

BUILD_DIR=${BUILD_DIR:-build-release}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLET_DEVELOPER_TARGETS=OFF
cmake --build "$BUILD_DIR" -j "$(nproc)"

exec "$BUILD_DIR/bin/Quillet" "$@"
