#!/usr/bin/env bash
# Builds the Debian package in Release mode and leaves it in build-package/:
#   bash scripts/package.sh [-DOPTION=VALUE ...]
# then, on any Debian 12 machine:
#   sudo apt-get install ./build-package/oil-debris-configurator_5824.111_amd64.deb
# Packing builds every target, tests included; CI adds -DOD_WERROR=ON so that
# this Release build is checked warning-free too.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh dpkg-dev file desktop-file-utils appstream
dir=build-package
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr "$@" > "$dir.configure.log" 2>&1 ||
  { cat "$dir.configure.log"; exit 1; }
ninja -C "$dir" -j"$(nproc)"
desktop-file-validate desktop/oil-debris-configurator.desktop
appstreamcli validate --no-net desktop/com.example.oil_debris_configurator.metainfo.xml
(cd "$dir" && cpack -G DEB)
ls "$dir"/*.deb
