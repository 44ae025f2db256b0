#!/usr/bin/env bash
# Installs the Debian packages the game, its asset generator and its tests need.
# Only what is missing is installed, after a single package-list update.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache
  libglfw3-dev libglew-dev libbullet-dev libimgui-dev libstb-dev
  libfreetype-dev rapidjson-dev libassimp-dev libfreeimage-dev
  libopenal-dev libsndfile1-dev
  googletest libgtest-dev libgmock-dev
  xvfb xauth libgl1-mesa-dri mesa-utils
  fonts-liberation fonts-crosextra-carlito espeak-ng
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg -s "$p" >/dev/null 2>&1 || ! dpkg -s "$p" 2>/dev/null | grep -q '^Status: install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
    echo "These packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
