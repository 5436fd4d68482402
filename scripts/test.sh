#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
cd build
# Each test sets up its own temporary HOME; xvfb gives the browser tests a display.
xvfb-run -a ctest --output-on-failure --timeout 600 "$@"
