#!/usr/bin/env bash
# Runs the program against the simulated sensor on COM3 of a private home
# (build/demo-home), so no ports/ folder is ever left in a real home.
#   scripts/demo.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
home="$PWD/$build/demo-home"
mkdir -p "$home/TesselAppsData/OilDebris"
rm -f "$home/TesselAppsData/OilDebris/ports/com3"
"$build/sim/oil-debris-sensor-sim" --com 3 --home "$home" > "$build/demo-sim.out" &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do grep -q ready "$build/demo-sim.out" 2>/dev/null && break; sleep 0.1; done
HOME="$home" "$build/cli/oil-debris-cli" --port COM3 identify
