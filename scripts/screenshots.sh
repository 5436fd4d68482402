#!/usr/bin/env bash
# Builds and saves screenshots of the main window and the item views into docs/screenshots
# (under Xvfb, each on a freshly seeded library in a temporary HOME).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
xvfb-run -a -s "-screen 0 1280x1024x24" ./build/tests/ItemViewsScreenshots docs/screenshots
QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --no-sandbox" \
    xvfb-run -a -s "-screen 0 1280x1024x24" ./build/tests/MainWindowScreenshot docs/screenshots
xvfb-run -a -s "-screen 0 1280x1024x24" ./build/tests/DialogScreenshots docs/screenshots
