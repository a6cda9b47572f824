#!/usr/bin/env bash
# Installs what is missing, builds the release build and starts the program.
# Arguments are passed on to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

BUILD_DIR=${BUILD_DIR:-build-release}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$BUILD_DIR" -j "$(nproc)"

exec "$BUILD_DIR/bin/Quillet" "$@"
