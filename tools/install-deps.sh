#!/usr/bin/env bash
# Installs the Debian 12 packages the build, tests and benchmarks need, and any named as
# arguments (the fuzz build's compiler); only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache git pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libboost-dev libboost-filesystem-dev libboost-system-dev libboost-thread-dev
  libtbb-dev libcjson-dev libpugixml-dev libzip-dev libpng-dev libjpeg62-turbo-dev libstb-dev libopenexr-dev
  libfreetype-dev fonts-dejavu-core libassimp-dev libmeshoptimizer-dev libembree-dev
  libegl-dev libgl-dev libegl1-mesa-dev libgl1-mesa-dri libglfw3-dev
  libcli11-dev xvfb xauth libx11-dev
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Run as root (or install sudo) to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
