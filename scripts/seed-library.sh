#!/usr/bin/env bash
# Adds a demonstration library of a few dozen books (with covers and files) to the library of
# the current HOME. Try it on a scratch HOME:
#   HOME=/tmp/lirenta-demo bash scripts/seed-library.sh && HOME=/tmp/lirenta-demo bash scripts/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
QT_QPA_PLATFORM=offscreen ./build/tools/SeedLibrary
