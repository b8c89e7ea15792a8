#!/usr/bin/env bash
# Installs the Debian packages boxquake needs to build, play and test.
# Idempotent: does nothing (quickly) when everything is already installed.
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  libsdl1.2-compat-dev libsdl-image1.2-dev libgl-dev
  libfreetype-dev fonts-dejavu-core
  libgtest-dev libbenchmark-dev
  xvfb xdotool imagemagick python3-xlib x11-utils
  clang libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
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
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
