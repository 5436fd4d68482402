#!/usr/bin/env bash
# Starts Lirenta at once when its build is current; otherwise installs what is missing and
# builds first.
set -euo pipefail
cd "$(dirname "$0")/.."
binary=build/src/lirenta
if [ ! -x "$binary" ] ||
    [ -n "$(find CMakeLists.txt src translations packaging -newer "$binary" -print -quit 2>/dev/null)" ]; then
    bash scripts/setup.sh
    bash scripts/build.sh
fi
exec "./$binary" "$@"
