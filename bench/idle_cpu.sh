#!/usr/bin/env bash
# What the programs cost while they wait, from the kernel's own per-thread
# CPU accounting (/proc/PID/task/TID/stat), in percent of one core:
#   1. the configurator polling the simulated sensor's status, on a virtual
#      display, over SECONDS: the whole process and each of its threads;
#   2. the command-line tool polling the status ("status --watch", every
#      500 ms as the main window does) over SECONDS: its reader thread and its
#      waits, without the windows;
#   3. the command-line tool waiting on a silent sensor ("identify", five
#      attempts of about a second), sampled while it waits, about SECONDS in
#      all;
#   4. the configurator with its reporting window open, polling "a" once a
#      second with all eight charts full (sampled from 65 s after it opens),
#      over SECONDS.
# The simulated sensor paces its bytes at the line rate. Needs Xvfb and
# xdotool. Run it by hand on a quiet machine; it is not part of the tests.
#   bench/idle_cpu.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
seconds="${2:-60}"
tick="$(getconf CLK_TCK)"
work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2> /dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# "tid ticks name" for every thread of a process.
threads() {
  local task stat rest
  for task in /proc/"$1"/task/*; do
    stat="$(cat "$task/stat" 2> /dev/null)" || continue
    rest="${stat##*) }"
    # shellcheck disable=SC2086
    set -- $rest
    echo "${task##*/} $((${12} + ${13})) $(tr ' ' '_' < "$task/comm")"
  done
}

# Percent of a core between two samples of `threads`, per thread and in all.
report() {
  awk -v tick="$tick" -v secs="$3" -v label="$4" '
    FNR == NR { before[$1] = $2; next }
    { used = $2 - before[$1]; total += used
      printf "  %-28s thread %-8s %-18s %7.3f %%\n", label, $1, $3, 100 * used / tick / secs }
    END { printf "  %-28s %-34s %7.3f %%\n", label, "whole process", 100 * total / tick / secs }' "$1" "$2"
}

start_sim() {  # HOME_DIR EXTRA_SWITCHES...
  local home="$1"
  shift
  mkdir -p "$home/TesselAppsData/OilDebris"
  "$build/sim/oil-debris-sensor-sim" --com 3 --home "$home" --pace "$@" > "$home/sim.out" &
  pids+=($!)
  for _ in $(seq 100); do
    grep -q '^ready' "$home/sim.out" 2> /dev/null && return 0
    sleep 0.1
  done
  echo "the simulated sensor did not start" >&2
  exit 1
}

echo "== the configurator polling the status (${seconds} s)"
home="$work/gui"
start_sim "$home"
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
pids+=($!)
sleep 1
DISPLAY="$display" HOME="$home" "$build/oil-debris-configurator" > "$work/gui.out" 2>&1 &
gui=$!
pids+=("$gui")
window="$(DISPLAY="$display" timeout 20 xdotool search --sync --name "Select Language" | head -1)"
DISPLAY="$display" xdotool mousemove --window "$window" 110 76 click 1
log="$home/TesselAppsData/OilDebris/debug.log"
for _ in $(seq 100); do
  [ "$(wc -l < "$log" 2> /dev/null || echo 0)" -gt 5 ] && break
  sleep 0.1
done
sleep 2
polls_before="$(wc -l < "$log")"
threads "$gui" > "$work/before"
sleep "$seconds"
threads "$gui" > "$work/after"
polls="$(($(wc -l < "$log") - polls_before))"
report "$work/before" "$work/after" "$seconds" "configurator"
echo "  status replies logged meanwhile: $polls"
kill "$gui"

echo "== the command-line tool polling the status (${seconds} s)"
home="$work/watch"
start_sim "$home"
HOME="$home" "$build/cli/oil-debris-cli" --port COM3 status --watch > "$work/watch.out" 2>&1 &
watch=$!
pids+=("$watch")
sleep 2
lines_before="$(wc -l < "$work/watch.out")"
threads "$watch" > "$work/before"
sleep "$seconds"
threads "$watch" > "$work/after"
report "$work/before" "$work/after" "$seconds" "command-line tool"
echo "  status lines printed meanwhile: $(($(wc -l < "$work/watch.out") - lines_before))"
kill "$watch"

echo "== the command-line tool waiting on a silent sensor (about ${seconds} s)"
home="$work/cli"
start_sim "$home" --silent
: > "$work/cli-before"
: > "$work/cli-after"
sampled=0
run=0
while [ "$sampled" -lt "$seconds" ]; do
  HOME="$home" "$build/cli/oil-debris-cli" --port COM3 identify > /dev/null 2>&1 &
  cli=$!
  sleep 0.5
  threads "$cli" | sed "s/^/$run./" >> "$work/cli-before"
  sleep 4
  threads "$cli" | sed "s/^/$run./" >> "$work/cli-after"
  wait "$cli" || true
  sampled=$((sampled + 4))
  run=$((run + 1))
done
report "$work/cli-before" "$work/cli-after" "$sampled" "command-line tool" | tail -1
echo "  ($run runs of identify, 4 s of each sampled)"

echo "== the configurator's reporting window, charts full (${seconds} s)"
home="$work/reporting"
start_sim "$home" --no-ack I --log "$work/reporting.log"
DISPLAY="$display" HOME="$home" "$build/oil-debris-configurator" > "$work/reporting.out" 2>&1 &
gui=$!
pids+=("$gui")
window="$(DISPLAY="$display" timeout 20 xdotool search --sync --name "Select Language" | head -1)"
DISPLAY="$display" xdotool mousemove --window "$window" 110 76 click 1
# The sensor does not answer "I": the no-answer message, then Sensor > Reporting.
DISPLAY="$display" timeout 30 xdotool search --sync --onlyvisible --name "^Error$" > /dev/null
DISPLAY="$display" xdotool key Return
sleep 1
main="$(DISPLAY="$display" xdotool search --onlyvisible --name "Oil Debris Sensor Configurator" | head -1)"
DISPLAY="$display" xdotool mousemove --window "$main" 26 8 click 1
sleep 1
DISPLAY="$display" xdotool mousemove --window "$main" 63 49 click 1
sleep 65
polls_before="$(grep -c 'text "a"' "$work/reporting.log" || true)"
threads "$gui" > "$work/before"
sleep "$seconds"
threads "$gui" > "$work/after"
report "$work/before" "$work/after" "$seconds" "configurator, reporting"
echo "  \"a\" polls answered meanwhile: $(($(grep -c 'text "a"' "$work/reporting.log") - polls_before))"
