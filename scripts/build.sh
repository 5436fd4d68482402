#!/usr/bin/env bash
# Configures and builds into ./build, every compiler warning an error.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLIRENTA_WERROR=ON
cmake --build build --parallel "$(nproc)"
