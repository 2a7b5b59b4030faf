#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs, when any is missing;
# packages named as arguments join the list (scripts/package.sh, CI).
set -euo pipefail
# Qt Charts' CMake package needs libqt6opengl6-dev, which qt6-base-dev only
# recommends (and recommends are not installed here).
packages=(cmake ninja-build g++ pkg-config qt6-base-dev libqt6opengl6-dev qt6-charts-dev qt6-svg-dev libgl1-mesa-dev
          libgtest-dev fonts-wine fonts-wqy-microhei xvfb xauth "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
