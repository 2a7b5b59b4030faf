#!/usr/bin/env bash
# Builds the fuzzers with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-fuzz/) and runs each for SECONDS
# (default 60) from its seed corpus, copied so that the repository's seeds
# stay as they are:
#   bash scripts/fuzz.sh [SECONDS] [FUZZER...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
scripts/install-deps.sh clang-14 libfuzzer-14-dev libclang-rt-14-dev
dir=build-fuzz
CXX=clang++-14 cmake -S . -B "$dir" -G Ninja -DOD_FUZZ=ON -DOD_SANITIZE=address -DOD_BUILD_GUI=OFF \
  -DOD_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
fuzzers=("$@")
[ ${#fuzzers[@]} -eq 0 ] && fuzzers=(hex-file config-file replies frame)
ninja -C "$dir" -j"$(nproc)" "${fuzzers[@]/#/fuzz-}"
# A failing input is kept in build-fuzz/findings/ to be looked at; every
# fuzzer runs even when one fails, and the script fails at the end.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
findings="$PWD/$dir/findings"
mkdir -p "$findings"
failed=()
for name in "${fuzzers[@]}"; do
  mkdir -p "$work/$name"
  if [ "$name" = hex-file ]; then cp tests/data/hex/*.hex "$work/$name/"; else cp fuzz/corpus/"$name"/* "$work/$name/"; fi
  echo "== fuzz-$name for $seconds s"
  if ! UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
      "$dir/fuzz/fuzz-$name" -max_total_time="$seconds" -rss_limit_mb=4096 -print_final_stats=1 \
      -artifact_prefix="$findings/$name-" "$work/$name" > "$work/$name.log" 2>&1; then
    failed+=("$name")
  fi
  tail -n 25 "$work/$name.log"
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzers that failed: ${failed[*]} (inputs in $findings)"
  exit 1
fi
