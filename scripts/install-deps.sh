#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the tools need.
# Only packages that are missing are installed; nothing is asked interactively.
#
#     scripts/install-deps.sh            everything: program, tests, tools, fuzzing
#     scripts/install-deps.sh --program  only what building the program needs
set -euo pipefail

# What the program, its library, the logger and the crash sender need.
PACKAGES=(
  build-essential cmake ninja-build ccache mold pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-svg-dev
  qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n
  libgl-dev libvulkan-dev
  libjpeg62-turbo-dev libtiff-dev liblcms2-dev libexiv2-dev
  libquazip1-qt6-dev libprotobuf-c-dev protobuf-c-compiler
  libxcb1-dev
  fonts-ipafont-gothic  # glyphs of the Japanese interface
)

# What the tests, the fuzz build and the screenshot tools need besides.
if [ "${1:-}" != "--program" ]; then
  PACKAGES+=(
    clang libclang-rt-14-dev
    exiv2
    xvfb xauth x11-apps imagemagick
    procps  # pgrep: scripts/test.sh stops its background build when a step fails
  )
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq </dev/null
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
