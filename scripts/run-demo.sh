#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program against the
# simulated sensor in a private home under build/.
#   scripts/run-demo.sh [--reporting]   (see scripts/demo.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
exec scripts/demo.sh build "$@"
