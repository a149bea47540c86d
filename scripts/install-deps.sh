#!/usr/bin/env bash
# Installs every Debian package Lumora needs to build, test, benchmark and run.
# Idempotent: apt-get runs only when something is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg62-turbo-dev libgif-dev libwmf-dev libemf2svg-dev qt6-svg-dev
  qt6-image-formats-plugins
  fonts-urw-base35
  libemf-dev
  libzint-dev zbar-tools
  fonts-liberation fonts-dejavu-core
  xvfb xauth x11-utils
  imagemagick poppler-utils librsvg2-bin
  clang-14 libclang-rt-14-dev
  ccache
  shared-mime-info desktop-file-utils xdg-utils libglib2.0-bin appstream libxml2-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
