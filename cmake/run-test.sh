#!/usr/bin/env bash
# Runs one test executable in a sandbox of its own: a fresh HOME and XDG
# folders that are removed afterwards, Qt's offscreen platform, and the online
# services pointed at 127.0.0.1.
set -u
sandbox=$(mktemp -d "${TMPDIR:-/tmp}/quillet-test.XXXXXX")
trap 'rm -rf "$sandbox"' EXIT
mkdir -p "$sandbox/home/Documents" "$sandbox/config" "$sandbox/data" "$sandbox/cache" "$sandbox/runtime"
chmod 700 "$sandbox/runtime"
export HOME="$sandbox/home"
export XDG_CONFIG_HOME="$sandbox/config"
export XDG_DATA_HOME="$sandbox/data"
export XDG_CACHE_HOME="$sandbox/cache"
export XDG_RUNTIME_DIR="$sandbox/runtime"
export XDG_DOCUMENTS_DIR="$HOME/Documents"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export QUILLET_TEST_SANDBOX="$sandbox"
# The online services talk to this machine only: a port where nothing listens,
# unless a test starts a fake service of its own and points them at it.
export QUILLET_STATISTICS_SERVICE="http://127.0.0.1:9"
export QUILLET_UPDATE_SERVICE="http://127.0.0.1:9"
cd "$sandbox"
"$@"
