#!/usr/bin/env bash
# Builds, then runs the configurator against the simulated sensor on COM3 of
# a private home (BUILD_DIR/demo-home), so no ports/ folder is ever left in a
# real home. The simulated sensor stops when the configurator quits.
#   scripts/demo.sh [BUILD_DIR] [--reporting]
# --reporting: the simulated sensor leaves "I" unanswered, so the program
# shows its no-answer message and then offers Sensor > Reporting (the
# reporting window with its live charts).
# Without a display the configurator runs on a virtual one (xvfb-run), or on
# the platform named by QT_QPA_PLATFORM.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
sim_faults=()
for arg in "$@"; do
  case "$arg" in
    --reporting) sim_faults=(--no-ack I) ;;
    *) build="$arg" ;;
  esac
done
scripts/build.sh "$build"

home="$PWD/$build/demo-home"
data="$home/TesselAppsData/OilDebris"
mkdir -p "$data"
rm -f "$data/ports/com3"

"$build/sim/oil-debris-sensor-sim" --com 3 --home "$home" "${sim_faults[@]}" > "$build/demo-sim.out" &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  grep -q '^ready' "$build/demo-sim.out" 2>/dev/null && break
  kill -0 "$sim" 2>/dev/null || { echo "demo: the simulated sensor did not start" >&2; exit 1; }
  sleep 0.1
done
grep -q '^ready' "$build/demo-sim.out" || { echo "demo: the simulated sensor is not ready" >&2; exit 1; }
echo "demo: simulated sensor $(cat "$build/demo-sim.out") on COM3; debug log in $data/debug.log"

run=()
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  if command -v xvfb-run > /dev/null; then
    echo "demo: no display; running on a virtual one" >&2
    run=(xvfb-run -a)
  fi
fi
HOME="$home" "${run[@]}" "$build/oil-debris-configurator"
